#include "library/transport/etamix.h"

#include <array>
#include <cmath>

#include "library/library.h"
#include "library/setup/records.h"
#include "library/transport/etak.h"
#include "library/transport/omega.h"
#include "library/transport/records.h"
#include "library/transport/trnecs.h"

namespace lib {

namespace {

using Matrix = std::array<std::array<double, kMaxComp>, kMaxComp>;

struct Pairs {
    Matrix M{}, eta{}, diff{};
};

double bin(int i, int j, int which) {
    return TRNBIN.p[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]
                   [static_cast<std::size_t>(which)];
}

void singular(int& ierr, std::string& herr) {
    fail(59, "ETAMIX",
         "the kinetic-theory system of the dilute-gas mixture viscosity cannot be "
         "solved",
         ierr, herr);
}

}  // namespace

void lj_of(int i, double& sigma, double& epsk) {
    if (ecs_block_loaded(i)) {
        sigma = ECSTRN.sigma[i];
        epsk = ECSTRN.epsk[i];
    } else {
        sigma = WLJETA[i][0];
        epsk = WLJETA[i][1];
    }
}

double ETAMIX(double T, const double x[20], int& ierr, std::string& herr) {
    ierr = 0;
    herr.clear();
    const int nc = NCOMP.nc < kMaxComp ? NCOMP.nc : kMaxComp;
    auto present = [&](int i) { return x[i] > 0.0; };  // 0-based
    // Stage 1: pair values.
    Pairs p;
    std::array<double, kMaxComp> sigma{}, epsk{}, mass{};
    for (int i = 0; i < nc; ++i) {
        lj_of(i + 1, sigma[static_cast<std::size_t>(i)], epsk[static_cast<std::size_t>(i)]);
        mass[static_cast<std::size_t>(i)] = CCON.wm[i + 1];
    }
    for (int i = 0; i < nc; ++i) {
        if (!present(i)) continue;
        for (int j = 0; j < nc; ++j) {
            if (!present(j)) continue;
            const auto ui = static_cast<std::size_t>(i), uj = static_cast<std::size_t>(j);
            const double kf = i == j ? 0.0 : bin(i + 1, j + 1, kBinDilK);
            const double lf = i == j ? 0.0 : bin(i + 1, j + 1, kBinDilL);
            const double mij = 2.0 * mass[ui] * mass[uj] / (mass[ui] + mass[uj]);
            const double eij = (1.0 - kf) * std::sqrt(epsk[ui] * epsk[uj]);
            const double sij = (1.0 - lf) * (sigma[ui] + sigma[uj]) / 2.0;
            if (std::fabs(eij) < 1e-20 || std::fabs(sij) < 1e-20) return 0.0;
            const double g = std::sqrt(T * mij) / (sij * sij);
            p.M[ui][uj] = mij;
            p.eta[ui][uj] = 0.026692 * g / OMEGAS(2, 2, T / eij);
            p.diff[ui][uj] = 0.3203 * g / OMEGAS(1, 1, T / eij);
        }
    }
    // Stage 2: H b = 1 over the present components, Gauss-Jordan without
    // pivoting.
    Matrix H;
    for (auto& row : H) row.fill(1.0);
    std::array<double, kMaxComp> b;
    b.fill(1.0);
    for (int i = 0; i < nc; ++i) {
        if (!present(i)) continue;
        for (int k = 0; k < nc; ++k) {
            if (!present(k)) continue;
            double s = 0.0;
            for (int j = 0; j < nc; ++j) {
                if (!present(j)) continue;
                const auto ui = static_cast<std::size_t>(i), uj = static_cast<std::size_t>(j);
                const double dik = i == k ? 1.0 : 0.0, djk = j == k ? 1.0 : 0.0;
                const double mij = p.M[ui][uj];
                s +=
                    x[j] * mij * mij *
                    ((dik - djk) * mass[static_cast<std::size_t>(k)] / (p.diff[ui][uj] * mass[uj]) +
                     (dik + djk) / (2.0 * p.eta[ui][uj]));
            }
            H[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)] =
                s / (mass[static_cast<std::size_t>(i)] * mass[static_cast<std::size_t>(k)]);
        }
    }
    for (int r = 0; r < nc; ++r) {
        if (!present(r)) continue;
        const auto ur = static_cast<std::size_t>(r);
        const double piv = H[ur][ur];
        if (!(std::fabs(piv) > 1e-300) || !std::isfinite(piv)) {
            singular(ierr, herr);
            return 0.0;
        }
        for (int c = 0; c < nc; ++c) H[ur][static_cast<std::size_t>(c)] /= piv;
        b[ur] /= piv;
        for (int o = 0; o < nc; ++o) {
            if (o == r || !present(o)) continue;
            const auto uo = static_cast<std::size_t>(o);
            const double f = H[uo][ur];
            for (int c = 0; c < nc; ++c)
                H[uo][static_cast<std::size_t>(c)] -= f * H[ur][static_cast<std::size_t>(c)];
            b[uo] -= f * b[ur];
        }
    }
    // Stage 3: pair corrections.
    std::array<double, kMaxComp> bc = b;
    for (int i = 0; i < nc; ++i) {
        if (!present(i)) continue;
        double bi = b[static_cast<std::size_t>(i)];
        for (int j = 0; j < nc; ++j) {
            if (j == i || !present(j)) continue;
            const double c1 = bin(i + 1, j + 1, kBinDilC1), c2 = bin(i + 1, j + 1, kBinDilC2);
            const double s = x[i] + x[j], r = x[i] / s;
            bi = (1.0 - s) * bi + s * bi * (1.0 + c1 * r - (c1 + c2) * r * r + c2 * r * r * r);
        }
        bc[static_cast<std::size_t>(i)] = bi;
    }
    // Stage 4: the components' own dilute viscosities.
    double eta = 0.0;
    for (int i = 0; i < nc; ++i) {
        if (!present(i)) continue;
        const auto ui = static_cast<std::size_t>(i);
        double eta0 = 0.0;
        int jerr = 0;
        std::string jtext;
        ETAK0(i + 1, T, eta0, jerr, jtext);
        eta += jerr > 0 ? x[i] * bc[ui] : x[i] * bc[ui] * eta0 / p.eta[ui][ui];
    }
    if (!std::isfinite(eta)) {
        singular(ierr, herr);
        return 0.0;
    }
    return eta;
}

}  // namespace lib
