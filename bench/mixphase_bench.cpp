// Speed of mixture phase equilibria for a 3-component natural gas (methane,
// ethane, propane 0.9/0.07/0.03), air and ammonia + water (0.6/0.4, TPFLSH
// two-phase only): TPFLSH single-phase (target 50 us) and two-phase
// (300 us; the two liquids of R403A, split from a trial close to the feed,
// 1 ms, where every call of the (T, p) flash must stay below 50 ms), PHFLSH and PSFLSH (1 ms),
// bubble and dew points (200 us), the whole SATSPLN envelope (50 ms).  Each iteration moves to
// another state of a cycle, so that no result cache answers; the counter "eos" is the number of
// equation-of-state evaluations (calls of the residual Helmholtz dispatch) per call.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "library/library.h"
#include "library/models/phik.h"

namespace {

struct Mix {
    const char* names;
    double x[20];
    int nc = 3;
};
const Mix kGas = {"methane|ethane|propane", {0.9, 0.07, 0.03}};
const Mix kAir = {"nitrogen|oxygen|argon", {0.7812, 0.2096, 0.0092}};
const Mix kNh3 = {"ammonia|water", {0.6, 0.4}, 2};
const Mix kR403A = {"propane|r22|r218", {0.1043016352, 0.7978521428, 0.0978462220}};

bool setup(const Mix& m) {
    int ierr = 0;
    std::string herr, hrf = "DEF";
    lib::SETUP0(m.nc, m.names, "hmx", hrf, ierr, herr);
    return ierr <= 0;
}

struct State {
    double T, P;
};
// Single-phase states (gas, liquid, dense) and two-phase states.
const std::vector<State> kGas1 = {{300, 5000}, {250, 2000}, {350, 10000}, {180, 8000}, {280, 500}};
const std::vector<State> kGas2 = {{160, 1000}, {180, 1500}, {200, 2500}, {150, 600}};
const std::vector<State> kAir1 = {{300, 101.325}, {150, 5000}, {80, 5000}, {120, 500}, {200, 2000}};
const std::vector<State> kAir2 = {{90, 260}, {90, 290}, {110, 1165}, {100, 600}};
const std::vector<State> kNh32 = {{330, 500}, {350, 1000}, {370, 1500}, {310, 300}};
const std::vector<State> kR403A2 = {
    {143.16, 88.88}, {144.59, 88.88}, {144.59, 444.4}, {142.5, 2666.5}};

// The state k of the cycle, moved a little with each round.
State at(const std::vector<State>& v, std::size_t k) {
    const State s = v[k % v.size()];
    const double f = 1.0 + 1e-4 * static_cast<double>((k / v.size()) % 64);
    return {s.T * f, s.P};
}

void count(benchmark::State& st, unsigned long long evals) {
    st.counters["eos"] =
        benchmark::Counter(static_cast<double>(evals), benchmark::Counter::kAvgIterations);
}

void tp(benchmark::State& st, const Mix& m, const std::vector<State>& states) {
    if (!setup(m)) return st.SkipWithError("set-up failed");
    double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    std::size_t k = 0;
    const unsigned long long e0 = lib::EOS_EVALUATIONS;
    for (auto _ : st) {
        const State p = at(states, k++);
        lib::TPFLSH(p.T, p.P, m.x, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        benchmark::DoNotOptimize(q);
    }
    count(st, lib::EOS_EVALUATIONS - e0);
}

// PHFLSH (letter 'H') or PSFLSH ('S') at the enthalpies or entropies of the
// (T, p) states.
void ph(benchmark::State& st, const Mix& m, const std::vector<State>& states, char letter) {
    if (!setup(m)) return st.SkipWithError("set-up failed");
    std::vector<double> b;
    for (const State& p : states) {
        double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
        int ierr = 0;
        std::string herr;
        lib::TPFLSH(p.T, p.P, m.x, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
        b.push_back(letter == 'H' ? h : s);
    }
    double T, D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    std::size_t k = 0;
    const unsigned long long e0 = lib::EOS_EVALUATIONS;
    for (auto _ : st) {
        const std::size_t i = k++ % states.size();
        const double f = 1.0 + 1e-6 * static_cast<double>((k / states.size()) % 64);
        if (letter == 'H')
            lib::PHFLSH(states[i].P, b[i] * f, m.x, T, D, Dl, Dv, x, y, q, e, s, cv, cp, w, ierr,
                        herr);
        else
            lib::PSFLSH(states[i].P, b[i] * f, m.x, T, D, Dl, Dv, x, y, q, e, h, cv, cp, w, ierr,
                        herr);
        benchmark::DoNotOptimize(T);
    }
    count(st, lib::EOS_EVALUATIONS - e0);
}

// Bubble (kph 1) or dew (2) points at temperatures t0 .. t1.
void sat(benchmark::State& st, const Mix& m, int kph, double t0, double t1) {
    if (!setup(m)) return st.SkipWithError("set-up failed");
    double P, Dl, Dv, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    std::size_t k = 0;
    const unsigned long long e0 = lib::EOS_EVALUATIONS;
    for (auto _ : st) {
        const double T = t0 + (t1 - t0) * static_cast<double>(k++ % 97) / 96.0;
        lib::SATT(T, m.x, kph, P, Dl, Dv, xl, xv, ierr, herr);
        benchmark::DoNotOptimize(P);
    }
    count(st, lib::EOS_EVALUATIONS - e0);
}

void envelope(benchmark::State& st, const Mix& m) {
    if (!setup(m)) return st.SkipWithError("set-up failed");
    int ierr = 0;
    std::string herr;
    const unsigned long long e0 = lib::EOS_EVALUATIONS;
    for (auto _ : st) {
        lib::SATSPLN(m.x, ierr, herr);
        benchmark::DoNotOptimize(ierr);
    }
    count(st, lib::EOS_EVALUATIONS - e0);
}

void TpGas1(benchmark::State& st) { tp(st, kGas, kGas1); }
void TpGas2(benchmark::State& st) { tp(st, kGas, kGas2); }
void TpAir1(benchmark::State& st) { tp(st, kAir, kAir1); }
void TpAir2(benchmark::State& st) { tp(st, kAir, kAir2); }
void TpNh32(benchmark::State& st) { tp(st, kNh3, kNh32); }
void TpR403A2(benchmark::State& st) { tp(st, kR403A, kR403A2); }
void PhGas1(benchmark::State& st) { ph(st, kGas, kGas1, 'H'); }
void PhGas2(benchmark::State& st) { ph(st, kGas, kGas2, 'H'); }
void PsGas1(benchmark::State& st) { ph(st, kGas, kGas1, 'S'); }
void PsGas2(benchmark::State& st) { ph(st, kGas, kGas2, 'S'); }
void PhAir1(benchmark::State& st) { ph(st, kAir, kAir1, 'H'); }
void PhAir2(benchmark::State& st) { ph(st, kAir, kAir2, 'H'); }
void PsAir1(benchmark::State& st) { ph(st, kAir, kAir1, 'S'); }
void PsAir2(benchmark::State& st) { ph(st, kAir, kAir2, 'S'); }
void BubbleGas(benchmark::State& st) { sat(st, kGas, 1, 120.0, 190.0); }
void DewGas(benchmark::State& st) { sat(st, kGas, 2, 120.0, 190.0); }
void BubbleAir(benchmark::State& st) { sat(st, kAir, 1, 70.0, 125.0); }
void DewAir(benchmark::State& st) { sat(st, kAir, 2, 70.0, 125.0); }
void EnvelopeGas(benchmark::State& st) { envelope(st, kGas); }
void EnvelopeAir(benchmark::State& st) { envelope(st, kAir); }

}  // namespace

BENCHMARK(TpGas1)->Name("TPFLSH gas single-phase")->Unit(benchmark::kMicrosecond);
BENCHMARK(TpGas2)->Name("TPFLSH gas two-phase")->Unit(benchmark::kMicrosecond);
BENCHMARK(TpAir1)->Name("TPFLSH air single-phase")->Unit(benchmark::kMicrosecond);
BENCHMARK(TpAir2)->Name("TPFLSH air two-phase")->Unit(benchmark::kMicrosecond);
BENCHMARK(TpNh32)->Name("TPFLSH ammonia+water two-phase")->Unit(benchmark::kMicrosecond);
BENCHMARK(TpR403A2)->Name("TPFLSH R403A two liquids")->Unit(benchmark::kMicrosecond);
BENCHMARK(PhGas1)->Name("PHFLSH gas single-phase")->Unit(benchmark::kMicrosecond);
BENCHMARK(PhGas2)->Name("PHFLSH gas two-phase")->Unit(benchmark::kMicrosecond);
BENCHMARK(PsGas1)->Name("PSFLSH gas single-phase")->Unit(benchmark::kMicrosecond);
BENCHMARK(PsGas2)->Name("PSFLSH gas two-phase")->Unit(benchmark::kMicrosecond);
BENCHMARK(PhAir1)->Name("PHFLSH air single-phase")->Unit(benchmark::kMicrosecond);
BENCHMARK(PhAir2)->Name("PHFLSH air two-phase")->Unit(benchmark::kMicrosecond);
BENCHMARK(PsAir1)->Name("PSFLSH air single-phase")->Unit(benchmark::kMicrosecond);
BENCHMARK(PsAir2)->Name("PSFLSH air two-phase")->Unit(benchmark::kMicrosecond);
BENCHMARK(BubbleGas)->Name("SATT gas bubble")->Unit(benchmark::kMicrosecond);
BENCHMARK(DewGas)->Name("SATT gas dew")->Unit(benchmark::kMicrosecond);
BENCHMARK(BubbleAir)->Name("SATT air bubble")->Unit(benchmark::kMicrosecond);
BENCHMARK(DewAir)->Name("SATT air dew")->Unit(benchmark::kMicrosecond);
BENCHMARK(EnvelopeGas)->Name("SATSPLN gas envelope")->Unit(benchmark::kMillisecond);
BENCHMARK(EnvelopeAir)->Name("SATSPLN air envelope")->Unit(benchmark::kMillisecond);
