// Helpers of the flash tests: fluid set-up, the full result of a flash and
// the reference tables.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/library.h"
#include "library/phase/satcheb.h"
#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "tests/library/phase/sat_support.h"
#include "tests/support/fluid.h"

namespace flashtest {

// Sets up one built-in fluid with its default reference state.
inline ::testing::AssertionResult setup(const std::string& name) {
    const std::string failure = testsupport::set_up(name);
    if (!failure.empty()) return ::testing::AssertionFailure() << failure;
    // The saturation expansions are built now, not within the first call a
    // test counts the work of.
    double tlow = 0, thigh = 0;
    lib::satcheb::range(1, tlow, thigh);
    return ::testing::AssertionSuccess();
}

// Sets up a blend of the text store as a pseudo-pure fluid (a name that holds
// "PPF"): its text is offered under the name "<name>ppf" while the object
// lives.
class PseudoPure {
public:
    explicit PseudoPure(const std::string& name) {
        int slot = 0;
        for (int k = 1; k <= lib::kTextCount; ++k)
            if (lib::store::name(k) == name) slot = k;
        std::string text = "<<" + name + "ppf>>\n";
        for (int n = 1; n < lib::store::line_count(slot); ++n) {
            text += std::string(lib::store::line(slot, n));
            text += "\n";
        }
        lib::store::override_text(slot, text);
        ok_ = setup(name + "ppf");
    }
    ~PseudoPure() {
        lib::store::restore();
        int ierr = 0;
        std::string herr, hrf = "DEF";
        lib::SETUP0(1, "nitrogen", "hmx", hrf, ierr, herr);
    }
    PseudoPure(const PseudoPure&) = delete;
    PseudoPure& operator=(const PseudoPure&) = delete;
    ::testing::AssertionResult ok() const { return ok_; }

private:
    ::testing::AssertionResult ok_ = ::testing::AssertionSuccess();
};

// Raises the critical point stated for component 1 above that of its
// equation while it lives, so that the saturation routines fail between the
// two (no saturation state of the equation exists there).  The fluid set up
// afterwards is nitrogen, which clears every cache that saw the change.
class RaisedCriticalPoint {
public:
    RaisedCriticalPoint(double tc, double pc) : tc_(lib::CCON.tc[1]), pc_(lib::CCON.pc[1]) {
        lib::CCON.tc[1] = tc;
        lib::CCON.pc[1] = pc;
    }
    ~RaisedCriticalPoint() {
        lib::CCON.tc[1] = tc_;
        lib::CCON.pc[1] = pc_;
        int ierr = 0;
        std::string herr, hrf = "DEF";
        lib::SETUP0(1, "nitrogen", "hmx", hrf, ierr, herr);
    }
    RaisedCriticalPoint(const RaisedCriticalPoint&) = delete;
    RaisedCriticalPoint& operator=(const RaisedCriticalPoint&) = delete;

private:
    double tc_, pc_;
};

// True when the fluid set up carries a corresponding-states estimate instead
// of its own equation: the reference values, computed with the published
// equation, do not apply to it.
inline bool estimated() {
    std::string code, cite;
    lib::GETMOD(1, "EOS", code, cite);
    return code.rfind("ECS", 0) == 0;
}

// Constants of component 1.
struct Constants {
    double wm = 0, ttp = 0, tnbp = 0, tc = 0, pc = 0, dc = 0, zc = 0, acf = 0, dip = 0, rgas = 0;
};
inline Constants constants() {
    Constants c;
    lib::INFO(1, c.wm, c.ttp, c.tnbp, c.tc, c.pc, c.dc, c.zc, c.acf, c.dip, c.rgas);
    return c;
}

// The complete state a flash returns.
struct State {
    double T = 0, P = 0, D = 0, Dl = 0, Dv = 0, q = 0, e = 0, h = 0, s = 0, cv = 0, cp = 0, w = 0;
    double x[20] = {}, y[20] = {};
    int ierr = 0;
    std::string herr;
};

// A pure fluid's composition.
struct Pure {
    double z[20] = {1.0};
};

// (A flash of composition z, else of the pure fluid.)
inline State tp(double T, double P, const double* z = nullptr) {
    State r;
    r.T = T;
    r.P = P;
    Pure c;
    lib::TPFLSH(T, P, z != nullptr ? z : c.z, r.D, r.Dl, r.Dv, r.x, r.y, r.q, r.e, r.h, r.s, r.cv,
                r.cp, r.w, r.ierr, r.herr);
    return r;
}
inline State ph(double P, double h) {
    State r;
    r.P = P;
    r.h = h;
    Pure c;
    lib::PHFLSH(P, h, c.z, r.T, r.D, r.Dl, r.Dv, r.x, r.y, r.q, r.e, r.s, r.cv, r.cp, r.w, r.ierr,
                r.herr);
    return r;
}
inline State ps(double P, double s) {
    State r;
    r.P = P;
    r.s = s;
    Pure c;
    lib::PSFLSH(P, s, c.z, r.T, r.D, r.Dl, r.Dv, r.x, r.y, r.q, r.e, r.h, r.cv, r.cp, r.w, r.ierr,
                r.herr);
    return r;
}
inline State pq(double P, double q) {
    State r;
    r.P = P;
    r.q = q;
    Pure c;
    lib::PQFLSH(P, q, c.z, 1, r.T, r.D, r.Dl, r.Dv, r.x, r.y, r.e, r.h, r.s, r.cv, r.cp, r.w,
                r.ierr, r.herr);
    return r;
}
inline State tq(double T, double q) {
    State r;
    r.T = T;
    r.q = q;
    Pure c;
    lib::TQFLSH(T, q, c.z, 1, r.P, r.D, r.Dl, r.Dv, r.x, r.y, r.e, r.h, r.s, r.cv, r.cp, r.w,
                r.ierr, r.herr);
    return r;
}
inline State ts(double T, double s, int kr = 1) {
    State r;
    r.T = T;
    r.s = s;
    Pure c;
    lib::TSFLSH(T, s, c.z, kr, r.P, r.D, r.Dl, r.Dv, r.x, r.y, r.q, r.e, r.h, r.cv, r.cp, r.w,
                r.ierr, r.herr);
    return r;
}
inline State pd(double P, double D) {
    State r;
    r.P = P;
    r.D = D;
    Pure c;
    lib::PDFLSH(P, D, c.z, r.T, r.Dl, r.Dv, r.x, r.y, r.q, r.e, r.h, r.s, r.cv, r.cp, r.w, r.ierr,
                r.herr);
    return r;
}
inline State hs(double h, double s) {
    State r;
    r.h = h;
    r.s = s;
    Pure c;
    lib::HSFLSH(h, s, c.z, r.T, r.P, r.D, r.Dl, r.Dv, r.x, r.y, r.q, r.e, r.cv, r.cp, r.w, r.ierr,
                r.herr);
    return r;
}
inline State td(double T, double D) {
    State r;
    r.T = T;
    r.D = D;
    Pure c;
    lib::TDFLSH(T, D, c.z, r.P, r.Dl, r.Dv, r.x, r.y, r.q, r.e, r.h, r.s, r.cv, r.cp, r.w, r.ierr,
                r.herr);
    return r;
}

// The reference tables are read as the saturation tests read them.
using sattest::num;
using sattest::read_csv;
using sattest::reference;
using sattest::rel;
using sattest::Row;

// Walks the rows of a reference table fluid by fluid: each fluid is set up
// at its first row, where first(row) runs as well; the rows of a fluid that
// carries an estimate are passed over, every other row goes to each(row).
// The walk ends at a fatal failure.
template <class First, class Each>
void for_each_row(const std::vector<Row>& rows, First first, Each each) {
    std::string current;
    bool skip = false;
    for (const Row& r : rows) {
        const std::string name = r.at("name");
        if (name != current) {
            ASSERT_TRUE(setup(name));
            current = name;
            skip = estimated();
            first(r);
            if (::testing::Test::HasFatalFailure()) return;
        }
        if (!skip) each(r);
    }
}

template <class Each>
void for_each_row(const std::vector<Row>& rows, Each each) {
    for_each_row(
        rows, [](const Row&) {}, each);
}

}  // namespace flashtest
