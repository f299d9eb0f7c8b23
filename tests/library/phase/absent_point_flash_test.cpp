// Flashes of mixtures whose bubble point (at the state's T or P) does not
// exist: each state of TPFLSH is found again by the flash at given T (TS,
// TH, TD, TQ), at given P (PH, PS, PQ) and by HSFLSH, with its T, p (1e-6
// relative) and vapour fraction (1e-6).  These are the states where the
// searches for the missing point cost the most (hydrogen + water at 280 K,
// the 10-component gas at 211.8 K) or where PQFLSH found no state (helium +
// hexane above 3.5 MPa, with neither point found at P).  Their speed is
// measured in bench/wetgas_bench.cpp.  Also: the saturation points a flash
// keeps are those SATT gives, found or not.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/phase/satmemo.h"
#include "tests/library/phase/mix_support.h"

namespace {

const mixtest::Mixture kHydrogenWater{"hydrogen+water", "hydrogen|water", {0.5, 0.5}};
const mixtest::Mixture kHeliumHexane{"helium+hexane", "helium|hexane", {0.5, 0.5}};
const mixtest::Mixture kUniongas{
    "uniongas",
    "co2|oxygen|nitrogen|pentane|isobutane|butane|propane|ethane|methane",
    {0.007, 0.0002, 0.013, 0.0002, 0.0003, 0.0003, 0.002, 0.025, 0.952}};
const mixtest::Mixture& gas10() { return mixtest::mixtures()[4]; }

// One flash from one state of TPFLSH.
struct Row {
    const mixtest::Mixture* m;
    double T, P;
    const char* flash;  // TS TH TD TQ PH PS PQ HS
};

void PrintTo(const Row& r, std::ostream* os) {
    *os << r.m->label << " " << r.flash << " at " << r.T << " K, " << r.P << " kPa";
}

std::vector<Row> rows() {
    const mixtest::Mixture* hw = &kHydrogenWater;
    const mixtest::Mixture* hh = &kHeliumHexane;
    const mixtest::Mixture* ng = &gas10();
    const mixtest::Mixture* ug = &kUniongas;
    std::vector<Row> r;
    for (const char* f : {"TS", "TH", "TD", "TQ", "PH", "PS", "PQ", "HS"}) {
        r.push_back({hw, 280.0, 100.0, f});
        r.push_back({ng, 211.81818181818181, 1873.8174228603839, f});
    }
    for (const char* f : {"TS", "TQ"}) r.push_back({hw, 298.18181818181819, 100.0, f});
    for (double T : {280.0, 301.81818181818181, 432.72727272727275})
        for (double P : {3503.6295918402188, 5000.0}) r.push_back({hh, T, P, "PQ"});
    r.push_back({hh, 345.45454545454544, 2455.0840633636935, "HS"});
    r.push_back({ng, 165.45454545454547, 533.66992312063098, "HS"});
    r.push_back({ng, 211.81818181818181, 6579.3322465756792, "TQ"});
    r.push_back({ug, 161.81818181818181, 1625.7631086737802, "HS"});
    return r;
}

std::string row_name(const ::testing::TestParamInfo<Row>& info) {
    std::string name = info.param.m->label + "_" + info.param.flash + "_" +
                       std::to_string(static_cast<int>(info.param.T)) + "K_" +
                       std::to_string(static_cast<int>(info.param.P)) + "kPa";
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name + "_" + std::to_string(info.index);
}

class AbsentPointFlash : public mixtest::MixtureSuite<::testing::TestWithParam<Row>> {};

TEST_P(AbsentPointFlash, ReturnsTheStateOfTheTpFlash) {
    const Row& row = GetParam();
    ASSERT_TRUE(mixtest::setup(*row.m));
    double z[20];
    row.m->fill(z);
    double D, Dl, Dv, x[20], y[20], q, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(row.T, row.P, z, D, Dl, Dv, x, y, q, e, h, s, cv, cp, w, ierr, herr);
    ASSERT_LE(ierr, 0) << herr;
    const bool two = q > 0.0 && q < 1.0;
    double T = row.T, P = row.P, q2 = -1.0, D2, e2, h2, s2;
    const std::string f = row.flash;
    if (f == "TS") {
        lib::TSFLSH(T, s, z, lib::kLowerRoot, P, D2, Dl, Dv, x, y, q2, e2, h2, cv, cp, w, ierr,
                    herr);
    } else if (f == "TH") {
        lib::THFLSH(T, h, z, lib::kLowerRoot, P, D2, Dl, Dv, x, y, q2, e2, s2, cv, cp, w, ierr,
                    herr);
    } else if (f == "TD") {
        lib::TDFLSH(T, D, z, P, Dl, Dv, x, y, q2, e2, h2, s2, cv, cp, w, ierr, herr);
    } else if (f == "TQ") {
        ASSERT_TRUE(two);
        lib::TQFLSH(T, q, z, lib::kMolarQuality, P, D2, Dl, Dv, x, y, e2, h2, s2, cv, cp, w, ierr,
                    herr);
        q2 = q;
    } else if (f == "PH") {
        lib::PHFLSH(P, h, z, T, D2, Dl, Dv, x, y, q2, e2, s2, cv, cp, w, ierr, herr);
    } else if (f == "PS") {
        lib::PSFLSH(P, s, z, T, D2, Dl, Dv, x, y, q2, e2, h2, cv, cp, w, ierr, herr);
    } else if (f == "PQ") {
        ASSERT_TRUE(two);
        lib::PQFLSH(P, q, z, lib::kMolarQuality, T, D2, Dl, Dv, x, y, e2, h2, s2, cv, cp, w, ierr,
                    herr);
        q2 = q;
    } else {
        lib::HSFLSH(h, s, z, T, P, D2, Dl, Dv, x, y, q2, e2, cv, cp, w, ierr, herr);
    }
    ASSERT_LE(ierr, 0) << f << ": " << herr;
    EXPECT_NEAR(T, row.T, 1e-6 * row.T) << f;
    EXPECT_NEAR(P, row.P, 1e-6 * row.P) << f;
    if (two)
        EXPECT_NEAR(q2, q, 1e-6) << f;
    else
        EXPECT_FALSE(q2 > 0.0 && q2 < 1.0) << f << " q " << q2;
}

INSTANTIATE_TEST_SUITE_P(SlowStates, AbsentPointFlash, ::testing::ValuesIn(rows()), row_name);

// SATT's answers while a flash keeps them are those it gives alone, to the
// last digit: a dew point found through the split (hydrogen + water) and a
// bubble point that does not exist (its error kept with its text).
class KeptSaturationPoints : public mixtest::MixtureSuite<> {};

TEST_F(KeptSaturationPoints, AreThoseOfSattAlone) {
    struct Case {
        const mixtest::Mixture* m;
        double T;
        int kph;
    };
    for (const Case& c : {Case{&kHydrogenWater, 280.0, lib::kDewPoint},
                          Case{&kHydrogenWater, 280.0, lib::kBubblePoint},
                          Case{&gas10(), 211.81818181818181, lib::kBubblePoint},
                          Case{&gas10(), 211.81818181818181, lib::kDewPoint}}) {
        ASSERT_TRUE(mixtest::setup(*c.m));
        double z[20];
        c.m->fill(z);
        struct Answer {
            double P = 0, Dl = 0, Dv = 0, xl[20] = {}, xv[20] = {};
            int ierr = 0;
            std::string herr;
        };
        const auto satt = [&](Answer& a) {
            lib::SATT(c.T, z, c.kph, a.P, a.Dl, a.Dv, a.xl, a.xv, a.ierr, a.herr);
        };
        Answer alone, first, again, after;
        satt(alone);
        {
            const lib::mix::FlashMemo memo;
            satt(first);
            satt(again);
        }
        satt(after);
        for (const Answer* a : {&first, &again, &after}) {
            EXPECT_EQ(a->ierr, alone.ierr) << c.m->label << " kph " << c.kph;
            EXPECT_EQ(a->herr, alone.herr);
            EXPECT_EQ(a->P, alone.P);
            EXPECT_EQ(a->Dl, alone.Dl);
            EXPECT_EQ(a->Dv, alone.Dv);
            for (int i = 0; i < 20; ++i) {
                EXPECT_EQ(a->xl[i], alone.xl[i]);
                EXPECT_EQ(a->xv[i], alone.xv[i]);
            }
        }
    }
}

// What a memory keeps: answers only while it is open, by the exact question.
TEST(FlashMemo, KeepsAnswersOnlyWhileOpen) {
    double z[20] = {0.5, 0.5};
    lib::mix::SatAnswer a, b;
    a.P = 123.0;
    a.ierr = 128;
    a.herr = "kept";
    const lib::mix::SatQuestion question{lib::mix::kQuickBubbleAtT, 280.0, z};
    lib::mix::keep(question, a);
    EXPECT_FALSE(lib::mix::recall(question, b));  // none open
    {
        const lib::mix::FlashMemo outer;
        lib::mix::keep(question, a);
        {
            const lib::mix::FlashMemo inner;
            ASSERT_TRUE(lib::mix::recall(question, b));
            EXPECT_EQ(b.P, 123.0);
            EXPECT_EQ(b.ierr, 128);
            EXPECT_EQ(b.herr, "kept");
        }
        EXPECT_TRUE(lib::mix::recall(question, b));  // the outer still holds it
        const lib::mix::SatQuestion other_t{lib::mix::kQuickBubbleAtT, 280.0 + 1e-12, z};
        const lib::mix::SatQuestion other_kind{lib::mix::kQuickBubbleAtP, 280.0, z};
        EXPECT_FALSE(lib::mix::recall(other_t, b));
        EXPECT_FALSE(lib::mix::recall(other_kind, b));
        double z2[20] = {0.5, 0.5};
        z2[1] = std::nextafter(0.5, 1.0);
        EXPECT_FALSE(lib::mix::recall({lib::mix::kQuickBubbleAtT, 280.0, z2}, b));
    }
    const lib::mix::FlashMemo reopened;
    EXPECT_FALSE(lib::mix::recall(question, b));  // forgotten when the last closed
}

}  // namespace
