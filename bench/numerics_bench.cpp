// Speed of the pressure derivatives, the ancillary equations and their
// inverse, the range check and the saturation-line spline table, on
// nitrogen.  The states move from call to call (no cache hits).
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "library/library.h"
#include "library/phase/records.h"
#include "library/setup/records.h"
#include "library/setup/splines.h"

namespace {

const double kX[20] = {1.0};

bool nitrogen() {
    int ierr = 0;
    std::string herr, hrf = "DEF";
    lib::SETUP0(1, "nitrogen", "hmx", hrf, ierr, herr);
    return ierr <= 0;
}

void BM_Press(benchmark::State& st) {
    if (!nitrogen()) return st.SkipWithError("no fluid texts");
    int i = 0;
    for (auto _ : st) {
        double p = 0;
        lib::PRESS(100.0 + 1e-3 * (++i & 255), 20.0, kX, p);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_Press);

void BM_Dervpvt(benchmark::State& st) {
    if (!nitrogen()) return st.SkipWithError("no fluid texts");
    int i = 0;
    double o[15];
    for (auto _ : st) {
        lib::DERVPVT(100.0 + 1e-3 * (++i & 255), 20.0, kX, o[0], o[1], o[2], o[3], o[4], o[5], o[6],
                     o[7], o[8], o[9], o[10], o[11], o[12], o[13], o[14]);
        benchmark::DoNotOptimize(o);
    }
}
BENCHMARK(BM_Dervpvt);

void BM_Virb(benchmark::State& st) {
    if (!nitrogen()) return st.SkipWithError("no fluid texts");
    int i = 0;
    for (auto _ : st) {
        double b = 0;
        lib::VIRB(200.0 + 1e-3 * (++i & 255), kX, b);
        benchmark::DoNotOptimize(b);
    }
}
BENCHMARK(BM_Virb);

void BM_Psatk(benchmark::State& st) {
    if (!nitrogen()) return st.SkipWithError("no fluid texts");
    int i = 0, ierr = 0;
    std::string herr;
    for (auto _ : st) {
        double p = 0;
        lib::PSATK(1, 80.0 + 1e-3 * (++i & 255), p, ierr, herr);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_Psatk);

void BM_Tsatp(benchmark::State& st) {
    if (!nitrogen()) return st.SkipWithError("no fluid texts");
    int i = 0, ierr = 0;
    std::string herr;
    for (auto _ : st) {
        double t = 0;
        lib::TSATP(101.325 + 0.1 * (++i & 255), kX, t, ierr, herr);
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_Tsatp);

void BM_Limitx(benchmark::State& st) {
    if (!nitrogen()) return st.SkipWithError("no fluid texts");
    int i = 0, ierr = 0;
    std::string herr;
    double a, b, c, d;
    for (auto _ : st) {
        lib::LIMITX("EOS", 100.0 + 1e-3 * (++i & 255), 20.0, 1000.0, kX, a, b, c, d, ierr, herr);
        benchmark::DoNotOptimize(ierr);
    }
}
BENCHMARK(BM_Limitx);

// A table of 1000 points, evaluated at moving abscissae.
void BM_Splnval(benchmark::State& st) {
    lib::NCOMP.nc = 1;
    const int n = lib::kSplinePoints;
    lib::SATSPL.n = n;
    double x[lib::kSplinePoints], y[lib::kSplinePoints], y2[lib::kSplinePoints];
    for (int k = 0; k < n; ++k) {
        x[k] = std::log(0.01) + k * 8.0 / n;
        y[k] = std::log(100.0 + k);
        lib::SATSPL.value[k][0] = x[k];
        lib::SATSPL.value[k][1] = y[k];
    }
    lib::CSPLINE(n - 1, x, y, y2);
    for (int k = 0; k < n; ++k) lib::SATSPL.d2[k][1] = y2[k];
    int i = 0, ierr = 0;
    std::string herr;
    for (auto _ : st) {
        double v = 0;
        lib::SPLNVAL(1, 0, 0.05 + 0.01 * (++i & 1023), v, ierr, herr);
        benchmark::DoNotOptimize(v);
    }
    lib::SATSPL.n = 0;
}
BENCHMARK(BM_Splnval);

}  // namespace
