// SETTRN: loader of the corresponding-states transport block.
#include <cmath>

#include "library/setup/records.h"
#include "library/setup/textstore.h"
#include "library/setup/ucase.h"
#include "library/transport/blockreader.h"
#include "library/transport/loaders.h"
#include "library/transport/records.h"
#include "library/transport/trnecs.h"

namespace lib {

namespace {

constexpr double kFintVersion = 6.0009;  // texts from this version on carry f_int terms

struct EcsBlock {
    std::array<double, 4> lim{};
    std::string refname;
    Code refeos{"   "}, refeta{"   "}, reftcx{"   "}, enhancement{"NUL"};
    int ljflag = 0;
    double sigma = 0.0, epsk = 0.0;
    int nfint = 0;
    std::array<std::array<double, 2>, kTermRows> fint{};
    int npsi = 0, nalt_psi = 0, nchi = 0, nalt_chi = 0;
    std::array<std::array<double, 3>, kTermRows> psi{}, chi{};
};

// "EOS name": the code in columns 1-3, the name after one blank up to a
// comment.
bool read_reference(BlockReader& rd, EcsBlock& b) {
    const int at = ILINE;
    std::string_view line;
    if (!rd.line(line, "reference fluid")) return false;
    b.refeos = Code(line.substr(0, 3));
    std::string_view name = line.size() > 4 ? line.substr(4) : std::string_view();
    name = name.substr(0, name.find('!'));
    b.refname = std::string(trim_right(name));
    if (b.refname.empty()) return rd.fail("line " + std::to_string(at) + ": no reference fluid");
    return true;
}

bool read_shape(BlockReader& rd, int& npoly, int& nalt,
                std::array<std::array<double, 3>, kTermRows>& rows, const char* what) {
    int n[3] = {0, 0, 0};
    if (!rd.ints(n, 3, what)) return false;
    if (n[0] < 0 || n[1] < 0 || n[0] + n[1] > kTermRows)
        return rd.fail(std::string("term counts outside 0..40 (") + what + ")");
    npoly = n[0];
    nalt = n[1];
    for (int i = 0; i < n[0] + n[1]; ++i)
        if (!rd.numbers(rows[static_cast<std::size_t>(i)].data(), 3, what)) return false;
    return true;
}

}  // namespace

void SETTRN(int nread, int k, const std::string& hcas, std::string& hrefname, Code& hrefeos,
            Code& hrefeta, Code& hreftcx, int& ierr, std::string& herr) {
    hrefname.clear();
    hrefeos = hrefeta = hreftcx = Code("   ");
    if (nread < 1) return illegal_text("SETTRN", nread, hcas, ierr, herr);
    BlockReader rd(nread, "SETTRN");
    EcsBlock b;
    b.lim = rd.limits();
    if (rd.ok()) read_reference(rd, b);
    rd.code(b.refeta, "viscosity model of the reference fluid");
    rd.code(b.reftcx, "conductivity model of the reference fluid");
    rd.count(b.ljflag, 0, 2, "Lennard-Jones flag");
    rd.number(b.sigma, "Lennard-Jones sigma");
    rd.number(b.epsk, "Lennard-Jones epsilon/k");
    if (rd.ok() && VERS[k] >= kFintVersion) {
        rd.count(b.nfint, 0, kTermRows, "number of f_int terms");
        for (int i = 0; i < b.nfint && rd.ok(); ++i)
            rd.numbers(b.fint[static_cast<std::size_t>(i)].data(), 2, "f_int term");
    }
    if (rd.ok()) read_shape(rd, b.npsi, b.nalt_psi, b.psi, "viscosity shape function");
    if (rd.ok()) read_shape(rd, b.nchi, b.nalt_chi, b.chi, "conductivity shape function");
    rd.code(b.enhancement, "critical-enhancement model");
    rd.result(ierr, herr);
    if (ierr != 0) return;
    WLMTRN.store(k, b.lim);
    ECSTRN.loaded[k] = 1;
    ECSTRN.refname[k] = b.refname;
    ECSTRN.ljflag[k] = b.ljflag;
    ECSTRN.sigma[k] = b.sigma;
    ECSTRN.epsk[k] = b.epsk;
    ECSTRN.nfint[k] = b.nfint;
    ECSTRN.fint[k] = b.fint;
    ECSTRN.psi.npoly[k] = b.npsi;
    ECSTRN.psi.nalt[k] = b.nalt_psi;
    ECSTRN.psi.rows[k] = b.psi;
    ECSTRN.chi.npoly[k] = b.nchi;
    ECSTRN.chi.nalt[k] = b.nalt_chi;
    ECSTRN.chi.rows[k] = b.chi;
    CREMOD.set[kCreEcs][k] = b.enhancement;
    hrefname = b.refname;
    hrefeos = b.refeos;
    hrefeta = b.refeta;
    hreftcx = b.reftcx;
}

int transport_reference(int i) {
    if (NCOMP.nc == 1) return 0;
    // Slot -i may hold the reference of the component's equation of state
    // (a corresponding-states equation on another fluid): the block's own
    // reference is then one of the fixed reference fluids of a mixture.
    auto is_named = [&](int slot) {
        return UCASE(trim_right(CNAM[slot]), 12) == UCASE(ECSTRN.refname[i], 12);
    };
    if (i < 1 || i > kMaxComp || is_named(-i)) return -i;
    for (int slot : {0, -21, -22, -23})
        if (is_named(slot)) return slot;
    return -i;
}

bool ecs_block_loaded(int k) { return k >= kMinSlot && k <= kMaxSlot && ECSTRN.loaded[k] != 0; }

}  // namespace lib
