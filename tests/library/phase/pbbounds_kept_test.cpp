// The bounds of the pressure flashes' property kept across set-ups: a fluid
// set up again finds the bounds it had, bit for bit what a search from
// nothing gives, and another equation of the same fluid is not taken for
// it; a mixture's bounds follow every change of its equations made
// without a set-up.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/critp.h"
#include "library/phase/pbbounds.h"
#include "tests/support/fluid.h"

namespace {

struct Case {
    const char* names;
    std::array<double, 20> z;
};

const Case kCases[] = {
    {"water", {1.0}},
    {"nitrogen", {1.0}},
    {"propane|isobutane", {0.5, 0.5}},
    {"nitrogen|oxygen|argon|co2|water", {0.75, 0.14, 0.009, 0.031, 0.07}},
};

// The bounds of the property `letter` of the fluid set up, as the pressure
// flashes ask for them.
lib::Bounds bounds_of(char letter, const std::array<double, 20>& z) {
    double tc = 0, pc = 0, dc = 0, tmin = 0, tmax = 0, dmax = 0, pmax = 0;
    int ierr = 0;
    std::string herr;
    lib::CRITP(z.data(), tc, pc, dc, ierr, herr);
    lib::LIMITX("EOS", -1.0, 0.0, 100.0, z.data(), tmin, tmax, dmax, pmax, ierr, herr);
    return lib::cached_bounds(letter, lib::ISPURE(z.data()), z.data(), tmin, tmax, pmax, tc, pc,
                              dc);
}

void expect_same(const lib::Bounds& a, const lib::Bounds& b, const std::string& what) {
    EXPECT_EQ(a.ok, b.ok) << what;
    for (auto [x, y] :
         {std::pair{a.tmin, b.tmin}, std::pair{a.tmax, b.tmax}, std::pair{a.bmin, b.bmin},
          std::pair{a.bmax, b.bmax}, std::pair{a.bcrit, b.bcrit}, std::pair{a.hgas, b.hgas}})
        EXPECT_EQ(x, y) << what;
}

TEST(KeptBounds, FluidSetUpAgainFindsWhatASearchFromNothingGives) {
    std::vector<lib::Bounds> first;
    for (const Case& c : kCases)
        for (char letter : {'H', 'S'}) {
            ASSERT_EQ(testsupport::set_up(c.names), "");
            first.push_back(bounds_of(letter, c.z));
            EXPECT_TRUE(first.back().ok) << c.names << " " << letter;
        }
    // Found again after the others were set up in between ...
    std::size_t i = 0;
    for (const Case& c : kCases)
        for (char letter : {'H', 'S'}) {
            ASSERT_EQ(testsupport::set_up(c.names), "");
            expect_same(bounds_of(letter, c.z), first[i++], std::string(c.names) + " kept");
        }
    // ... and searched anew once other fluids have taken every place.
    const char* others[] = {"argon", "methane", "ethane",  "propane", "butane",
                            "co2",   "r134a",   "ammonia", "helium"};
    for (const char* o : others) {
        ASSERT_EQ(testsupport::set_up(o), "");
        for (char letter : {'H', 'S'}) bounds_of(letter, {1.0});
    }
    i = 0;
    for (const Case& c : kCases)
        for (char letter : {'H', 'S'}) {
            ASSERT_EQ(testsupport::set_up(c.names), "");
            expect_same(bounds_of(letter, c.z), first[i++], std::string(c.names) + " anew");
        }
}

TEST(KeptBounds, AnotherEquationOfTheFluidIsNotTakenForIt) {
    ASSERT_EQ(testsupport::set_up("propane"), "");
    const lib::Bounds feq = bounds_of('H', {1.0});
    ASSERT_EQ(testsupport::set_up("propane", "BWR"), "");
    const lib::Bounds bwr = bounds_of('H', {1.0});
    ASSERT_TRUE(feq.ok && bwr.ok);
    EXPECT_NE(feq.bmin, bwr.bmin);
    EXPECT_NE(feq.bcrit, bwr.bcrit);
    ASSERT_EQ(testsupport::set_up("propane"), "");
    expect_same(bounds_of('H', {1.0}), feq, "propane again");
}

// Changes of a mixture's equations that leave its estimated critical point
// where it was (the key the bounds are told by besides the property there).
struct Change {
    const char* what;
    std::function<void()> make;
};

void set_departure_factor(double f) {
    std::string hmodij, hfmix, hbinp, hmxrul, hfij[6];
    double fij[6] = {};
    lib::GETKTV(1, 2, hmodij, fij, hfmix, hfij, hbinp, hmxrul);
    fij[4] = f;
    int ierr = 0;
    std::string herr;
    lib::SETKTV(1, 2, hmodij, fij, "hmx", ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
}

void set_mixture_reference(double h0, double s0) {
    const double x0[20] = {0.5, 0.5};
    std::string hrf = "OTH";
    int ierr = 0;
    std::string herr;
    lib::SETREF(hrf, 2, x0, h0, s0, 300.0, 100.0, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
}

const Change kChanges[] = {
    {"departure function halved", [] { set_departure_factor(0.5); }},
    {"mixture reference state", [] { set_mixture_reference(1000.0, 10.0); }},
    {"departure function halved, then doubled",
     [] {
         set_departure_factor(0.5);
         const std::array<double, 20> z = {0.5, 0.5};
         bounds_of('H', z);
         bounds_of('S', z);
         set_departure_factor(2.0);
     }},
};

class MixtureBoundsFollow : public testing::TestWithParam<Change> {};

TEST_P(MixtureBoundsFollow, PropertyAtTheCriticalPointIsTheNewEquations) {
    const std::array<double, 20> z = {0.5, 0.5};
    for (char letter : {'H', 'S'}) {
        // (A set-up of the same fluid keeps the parameters set before.)
        ASSERT_EQ(testsupport::set_up("methane|ethane"), "");
        const double none[6] = {};
        int ierr = 0;
        std::string herr;
        lib::SETKTV(1, 2, "RST", none, "", ierr, herr);
        ASSERT_LE(ierr, 0) << herr;
        double tc = 0, pc = 0, dc = 0;
        lib::CRITP(z.data(), tc, pc, dc, ierr, herr);
        const lib::Bounds before = bounds_of(letter, z);
        ASSERT_TRUE(before.ok);
        GetParam().make();
        double tc2 = 0, pc2 = 0, dc2 = 0;
        lib::CRITP(z.data(), tc2, pc2, dc2, ierr, herr);
        ASSERT_EQ(tc2, tc) << GetParam().what;
        ASSERT_EQ(dc2, dc) << GetParam().what;
        const lib::Bounds after = bounds_of(letter, z);
        double now = 0;
        if (letter == 'S')
            lib::ENTRO(tc, dc, z.data(), now);
        else
            lib::ENTHAL(tc, dc, z.data(), now);
        EXPECT_EQ(after.bcrit, now) << GetParam().what << " " << letter;
        EXPECT_NE(after.bcrit, before.bcrit) << GetParam().what << " " << letter;
    }
}

void PrintTo(const Change& c, std::ostream* os) { *os << c.what; }

INSTANTIATE_TEST_SUITE_P(Changes, MixtureBoundsFollow, testing::ValuesIn(kChanges));

}  // namespace
