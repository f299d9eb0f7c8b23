// Saturation points of mixtures with a component below its triple point:
// SATT, SATP and the quality flashes at q 0 and 1 refuse a point (error
// 250) exactly where the (T, p) flash refuses its state as frozen, whether
// the point's own phases settle it (nothing near its solid) or the flash is
// asked: liquid air at 5 kPa and 59.5 K keeps its bubble point, liquid air
// holding 1 % of water or 0.15 % of carbon dioxide has none.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/library.h"
#include "library/phase/frozen.h"
#include "tests/library/phase/mix_support.h"

namespace {

enum class Road { satt, satp, tq, pq };

struct FrozenCase {
    const char* label;
    const char* names;
    std::vector<double> x;
    Road road;
    int kph;       // bubble or dew point
    double given;  // T (K) or P (kPa)
    bool refused;  // error 250 expected
};

const std::vector<FrozenCase>& cases() {
    static const std::vector<FrozenCase> c = {
        // Dry ISO Air: its argon is frozen below 75.4 K, dissolved in the
        // liquid air; the carbon dioxide is a trace.
        {"dry air",
         "oxygen|nitrogen|argon|co2",
         {0.20942, 0.78086, 0.00934, 0.00038},
         Road::satp,
         lib::kBubblePoint,
         5.0,
         false},
        {"dry air",
         "oxygen|nitrogen|argon|co2",
         {0.20942, 0.78086, 0.00934, 0.00038},
         Road::satp,
         lib::kBubblePoint,
         20.0,
         false},
        {"dry air",
         "oxygen|nitrogen|argon|co2",
         {0.20942, 0.78086, 0.00934, 0.00038},
         Road::satp,
         lib::kDewPoint,
         5.0,
         false},
        {"dry air",
         "oxygen|nitrogen|argon|co2",
         {0.20942, 0.78086, 0.00934, 0.00038},
         Road::satt,
         lib::kBubblePoint,
         62.0,
         false},
        {"dry air",
         "oxygen|nitrogen|argon|co2",
         {0.20942, 0.78086, 0.00934, 0.00038},
         Road::tq,
         lib::kBubblePoint,
         75.0,
         false},
        {"dry air",
         "oxygen|nitrogen|argon|co2",
         {0.20942, 0.78086, 0.00934, 0.00038},
         Road::pq,
         lib::kBubblePoint,
         10.0,
         false},
        {"dry air",
         "oxygen|nitrogen|argon|co2",
         {0.20942, 0.78086, 0.00934, 0.00038},
         Road::pq,
         lib::kDewPoint,
         50.0,
         false},
        // Liquid air holding 1 % of water, or 0.15 % of carbon dioxide.
        {"humid air",
         "oxygen|nitrogen|argon|co2|water",
         {0.2073, 0.7730, 0.00925, 0.00038, 0.01007},
         Road::satt,
         lib::kBubblePoint,
         75.0,
         true},
        {"humid air",
         "oxygen|nitrogen|argon|co2|water",
         {0.2073, 0.7730, 0.00925, 0.00038, 0.01007},
         Road::tq,
         lib::kBubblePoint,
         100.0,
         true},
        {"air with co2",
         "nitrogen|oxygen|argon|co2",
         {0.7801, 0.2093, 0.0091, 0.0015},
         Road::satt,
         lib::kBubblePoint,
         80.0,
         true},
        {"air with co2",
         "nitrogen|oxygen|argon|co2",
         {0.7801, 0.2093, 0.0091, 0.0015},
         Road::pq,
         lib::kBubblePoint,
         114.0,
         true},
    };
    return c;
}

class FrozenSaturation : public ::testing::TestWithParam<std::size_t> {
protected:
    void TearDown() override { mixtest::setup_nitrogen(); }
};

TEST_P(FrozenSaturation, RefusedWhereTheTpFlashRefusesThePoint) {
    const FrozenCase& c = cases()[GetParam()];
    ASSERT_TRUE(mixtest::setup({c.label, c.names, c.x}));
    double z[20] = {};
    for (std::size_t i = 0; i < c.x.size(); ++i) z[i] = c.x[i];
    const double q = c.kph == lib::kBubblePoint ? 0.0 : 1.0;
    double T = c.given, P = c.given, D = 0, Dl = 0, Dv = 0, x[20], y[20], e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    switch (c.road) {
        case Road::satt: lib::SATT(T, z, c.kph, P, Dl, Dv, x, y, ierr, herr); break;
        case Road::satp: lib::SATP(P, z, c.kph, T, Dl, Dv, x, y, ierr, herr); break;
        case Road::tq:
            lib::TQFLSH(T, q, z, lib::kMolarQuality, P, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr,
                        herr);
            break;
        case Road::pq:
            lib::PQFLSH(P, q, z, lib::kMolarQuality, T, D, Dl, Dv, x, y, e, h, s, cv, cp, w, ierr,
                        herr);
            break;
    }
    constexpr int kFrozen = 250;
    EXPECT_EQ(ierr == kFrozen, c.refused) << ierr << " " << herr;
    if (c.refused)
        EXPECT_NE(herr.find("would freeze out"), std::string::npos) << herr;
    else
        EXPECT_LE(ierr, 0) << herr;
    // The point's values stay where it is refused: the (T, p) flash there
    // gives the same verdict.
    std::string reason;
    EXPECT_EQ(lib::mix::tp_flash_refuses_frozen(T, P, z, reason), c.refused)
        << T << " K, " << P << " kPa: " << reason;
}

INSTANTIATE_TEST_SUITE_P(Points, FrozenSaturation,
                         ::testing::Range<std::size_t>(0, cases().size()));

}  // namespace
