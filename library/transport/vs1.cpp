#include "library/transport/vs1.h"

#include <cmath>
#include <cstdlib>

#include "library/library.h"
#include "library/setup/records.h"
#include "library/transport/blockreader.h"
#include "library/transport/omega.h"
#include "library/transport/records.h"

namespace lib {

namespace {

// Positions in WNTETA.
enum Count {
    kDil = 0,
    kInit = 1,
    kCp = 2,
    kPoly = 3,
    kNum = 4,
    kDen = 5,
    kExpNum = 6,
    kExpDen = 7,
    kFriction = 8  // 8..12: friction-theory counts, cleared here
};
// Positions in WRDETA.
enum Red { kTdil = 0, kEtaDil, kTinit, kBscale, kTres, kDres, kEtaRes };

// Everything one VS1 block fills, assembled before it is stored.
struct Vs1Block {
    std::array<double, 4> lim{};
    std::array<int, 13> n{};
    std::array<double, 7> red{};
    Rows4 rows{};
    std::array<int, kTermRows> l{};
    std::array<double, 2> lj{};
    Code omega{"NUL"}, enhancement{"NUL"};
};

// First row of each group in the term table.
int first_init(const std::array<int, 13>& n) {
    int r = n[kDil];
    for (int i = kFriction; i < 13; ++i) r += n[i];
    return r;
}
int first_cp(const std::array<int, 13>& n) { return first_init(n) + n[kInit]; }
int first_residual(const std::array<int, 13>& n) { return first_cp(n) + std::abs(n[kCp]); }

bool reserve(BlockReader& rd, int& used, int add, const char* what) {
    used += add;
    if (used <= kTermRows) return true;
    return rd.fail(std::string("more than 40 term rows (") + what + ")");
}

bool read_rows(BlockReader& rd, Vs1Block& b, int first, int n, int values, bool with_l,
               const char* what) {
    for (int i = 0; i < n; ++i) {
        double v[5] = {0, 0, 0, 0, 0};
        if (!rd.numbers(v, values, what)) return false;
        auto& row = b.rows[static_cast<std::size_t>(first + i)];
        for (int j = 0; j < 4 && j < values; ++j) row[static_cast<std::size_t>(j)] = v[j];
        b.l[static_cast<std::size_t>(first + i)] = with_l ? static_cast<int>(std::lround(v[4])) : 0;
    }
    return true;
}

void read_dilute(BlockReader& rd, Vs1Block& b, int& used) {
    if (!rd.count(b.n[kDil], 0, kTermRows, "number of dilute-gas terms")) return;
    if (b.n[kDil] == 0) return;
    rd.code(b.omega, "collision-integral model");
    rd.number(b.lj[0], "Lennard-Jones sigma");
    rd.number(b.lj[1], "Lennard-Jones epsilon/k");
    double v[2];
    if (!rd.numbers(v, 2, "reducing temperature and viscosity of the dilute part")) return;
    b.red[kTdil] = v[0];
    b.red[kEtaDil] = v[1];
    if (!reserve(rd, used, b.n[kDil], "dilute gas")) return;
    read_rows(rd, b, 0, b.n[kDil], 2, false, "dilute-gas term");
}

void read_initial(BlockReader& rd, Vs1Block& b, int& used) {
    if (!rd.count(b.n[kInit], 0, kTermRows, "number of initial-density terms")) return;
    if (b.n[kInit] == 0) return;
    double v[2];
    if (!rd.numbers(v, 2, "reducing temperature and B-scale")) return;
    b.red[kTinit] = v[0];
    b.red[kBscale] = v[1];
    if (!reserve(rd, used, b.n[kInit], "initial density")) return;
    read_rows(rd, b, first_init(b.n), b.n[kInit], 2, false, "initial-density term");
}

void read_residual(BlockReader& rd, Vs1Block& b, int& used) {
    int c[6];
    if (!rd.ints(c, 6, "residual term counts")) return;
    for (int i = 0; i < 6; ++i) {
        const int lo = i == 0 ? -kTermRows : 0;
        if (c[i] < lo || c[i] > kTermRows) {
            rd.fail("residual term count " + std::to_string(c[i]) + " outside its range");
            return;
        }
        b.n[static_cast<std::size_t>(kCp + i)] = c[i];
    }
    const int total = std::abs(c[0]) + c[1] + c[2] + c[3] + c[4] + c[5];
    if (total == 0) return;
    double v[3];
    if (!rd.numbers(v, 3, "reducing temperature, density and viscosity of the residual")) return;
    b.red[kTres] = v[0];
    b.red[kDres] = v[1];
    b.red[kEtaRes] = v[2];
    if (!reserve(rd, used, total, "residual")) return;
    int r = first_cp(b.n);
    if (!read_rows(rd, b, r, std::abs(c[0]), 2, false, "close-packed density term")) return;
    r += std::abs(c[0]);
    const int five = c[1] + c[2] + c[3];
    if (!read_rows(rd, b, r, five, 5, true, "residual term")) return;
    r += five;
    read_rows(rd, b, r, c[4] + c[5], 4, false, "exponential residual term");
    for (int i = 0; i < c[4] + c[5]; ++i) b.rows[static_cast<std::size_t>(r + i)][3] = 0.0;
}

double power(double x, double e) { return e == 0.0 ? 1.0 : std::pow(x, e); }

// c tau^t delta^d delta0^e of a residual row.
double residual_term(const std::array<double, 4>& row, double tau, double del, double del0) {
    return row[0] * power(tau, row[1]) * power(del, row[2]) * power(del0, row[3]);
}

double close_packed(int icomp, double tau) {
    const auto& n = WNTETA[icomp];
    const auto& rows = WCFETA[icomp];
    const int r = first_cp(n);
    const int ncp = n[kCp];
    if (ncp == 0) return 1.0;
    if (ncp > 0) {
        double s = 0.0;
        for (int k = 0; k < ncp; ++k) {
            const auto& row = rows[static_cast<std::size_t>(r + k)];
            s += row[0] * power(tau, row[1]);
        }
        return s;
    }
    double den = 1.0;
    for (int k = 1; k < -ncp; ++k) {
        const auto& row = rows[static_cast<std::size_t>(r + k)];
        den += row[0] * power(tau, row[1]);
    }
    return rows[static_cast<std::size_t>(r)][0] / den;
}

}  // namespace

void SETVS1(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) return illegal_text("SETVS1", nread, hcas, ierr, herr);
    BlockReader rd(nread, "SETVS1");
    Vs1Block b;
    rd.numbers(&b.lim[0], 1, "lower temperature limit");
    rd.numbers(&b.lim[1], 1, "upper temperature limit");
    rd.numbers(&b.lim[2], 1, "upper pressure limit");
    rd.numbers(&b.lim[3], 1, "maximum density");
    int used = 0;
    read_dilute(rd, b, used);
    read_initial(rd, b, used);
    read_residual(rd, b, used);
    rd.code(b.enhancement, "critical-enhancement model");
    rd.result(ierr, herr);
    if (ierr != 0) return;  // a failed block stores nothing
    WLMETA.store(k, b.lim);
    WNTETA[k] = b.n;
    WRDETA[k] = b.red;
    WCFETA[k] = b.rows;
    WIFETA[k] = b.l;
    if (b.n[kDil] > 0) {
        WLJETA[k] = b.lj;
        OMGMOD.set[kOmgEta][k] = b.omega;
    }
    CREMOD.set[kCreEta][k] = b.enhancement;
}

void SETVS6(int nread, int k, const std::string& hcas, int& ierr, std::string& herr) {
    if (nread < 1) return illegal_text("SETVS6", nread, hcas, ierr, herr);
    CREMOD.set[kCreEta][k] = Code("NUL");
    fail(49, "SETUP", "viscosity model #6 specified in fluid file but not implemented in code.",
         ierr, herr);
}

double ETA1DG(int icomp, double T) {
    const auto& n = WNTETA[icomp];
    if (n[kDil] < 1 || !(T < 1e8)) return 0.0;
    const auto& red = WRDETA[icomp];
    const auto& rows = WCFETA[icomp];
    const double sigma = WLJETA[icomp][0], epsk = WLJETA[icomp][1];
    const double tr = T / red[kTdil];
    const double omega = OMEGA(icomp, T, epsk, OMGMOD.set[kOmgEta][icomp]);
    double eta = rows[0][0] * std::sqrt(tr) / (sigma * sigma * omega);
    for (int k = 1; k < n[kDil]; ++k) {
        const auto& row = rows[static_cast<std::size_t>(k)];
        eta += row[0] * power(tr, row[1]);
    }
    return eta * red[kEtaDil];
}

double ETA1B2(int icomp, double T) {
    const auto& n = WNTETA[icomp];
    if (n[kInit] < 1) return 0.0;
    const auto& red = WRDETA[icomp];
    const auto& rows = WCFETA[icomp];
    const int r = first_init(n);
    const double tr = T / red[kTinit];
    double s = 0.0;
    for (int k = 0; k < n[kInit]; ++k) {
        const auto& row = rows[static_cast<std::size_t>(r + k)];
        s += row[0] * power(tr, row[1]);
    }
    return red[kBscale] * s;
}

double ETA1RS(int icomp, double T, double D) {
    if (D < 1e-10) return 0.0;
    const auto& n = WNTETA[icomp];
    const auto& red = WRDETA[icomp];
    const auto& rows = WCFETA[icomp];
    const auto& ls = WIFETA[icomp];
    const int total = std::abs(n[kCp]) + n[kPoly] + n[kNum] + n[kDen] + n[kExpNum] + n[kExpDen];
    double tau = 1.0, del = 1.0, dele = 1.0;
    if (total >= 1) {
        tau = T / red[kTres];
        del = D / red[kDres];
        dele = std::fabs(red[kDres] - 1.0) >= 0.001 ? D / red[kDres] : D / CCON.dc[icomp];
    }
    const double del0 = close_packed(icomp, tau);
    int r = first_residual(n);
    auto group = [&](int count, bool with_factor) {
        double s = 0.0;
        for (int k = 0; k < count; ++k, ++r) {
            const auto& row = rows[static_cast<std::size_t>(r)];
            double t = residual_term(row, tau, del, del0);
            const int l = ls[static_cast<std::size_t>(r)];
            if (with_factor && l > 0) t *= std::exp(-std::pow(dele, l));
            s += t;
        }
        return s;
    };
    double sum = group(n[kPoly], true);
    const double num = group(n[kNum], true);
    const double den = group(n[kDen], true);
    if (n[kNum] > 0 || n[kDen] > 0) sum += (n[kNum] > 0 ? num : 1.0) / (n[kDen] > 0 ? den : 1.0);
    const double enm = group(n[kExpNum], false);
    const double edn = group(n[kExpDen], false);
    if (n[kExpNum] > 0 || n[kExpDen] > 0)
        sum += std::exp((n[kExpNum] > 0 ? enm : 1.0) / (n[kExpDen] > 0 ? edn : 1.0));
    return sum * red[kEtaRes];
}

}  // namespace lib
