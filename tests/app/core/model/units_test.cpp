#include "app/core/model/units.h"

#include "app/core/model/init.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace app;

constexpr ValueDef TEMP{"T", Q_TEMPERATURE, 0};
constexpr ValueDef PRESS{"p", Q_PRESSURE, 0};
constexpr ValueDef DT{"dT", Q_TEMPERATURE_DIFFERENCE, 0};
constexpr ValueDef REL{"r", Q_RELATIVE_VALUE, 0};
constexpr ValueDef RATIO{"pr", Q_RATIO_GT1, 0};
constexpr ValueDef POWER{"P", Q_POWER, 0};

TEST(Units, ReferenceConversions) {
    EXPECT_NEAR(to_display(Q_TEMPERATURE, 1, 300.0), 26.85, 1e-12);
    EXPECT_NEAR(to_display(Q_TEMPERATURE, 2, 300.0), 80.33, 1e-12);
    EXPECT_NEAR(to_display(Q_PRESSURE, 3, 101.325), 1.01325, 1e-14);
    EXPECT_NEAR(to_display(Q_PRESSURE, 0, 101.325), 101325.0, 1e-9);
    EXPECT_NEAR(to_display(Q_TEMPERATURE_DIFFERENCE, 2, 10.0), 18.0, 1e-12);
    EXPECT_NEAR(to_display(Q_TEMPERATURE_DIFFERENCE, 1, 10.0), 10.0, 1e-12);
    EXPECT_NEAR(to_display(Q_POWER, 2, 1500.0), 1.5, 1e-15);
    EXPECT_NEAR(to_display(Q_MASSFLOW, 1, 1.0), 3.6, 1e-15);
    EXPECT_NEAR(to_internal(Q_TEMPERATURE, 1, 0.0), 273.15, 1e-12);
    EXPECT_NEAR(to_internal(Q_TEMPERATURE, 2, 32.0), 273.15, 1e-12);

    EXPECT_EQ(format_value(300.0, TEMP, 1), "26.85 °C");
    EXPECT_EQ(format_value(300.0, TEMP, 2), "80.33 °F");
    EXPECT_EQ(format_value(10.0, DT, 2), "18 °F");
    EXPECT_EQ(format_value(0.25, REL, 1), "25 %");
    EXPECT_EQ(format_value_cross(300.0, TEMP, 0), " 300\nK");
    // An index beyond the quantity's units formats in its first unit.
    EXPECT_EQ(format_value(300.0, TEMP, 7), "300 K");
    EXPECT_EQ(format_value(300.0, TEMP, -1), "300 K");
    // The largest pressure does not overflow to "inf" in pascal.
    EXPECT_EQ(format_value(std::numeric_limits<double>::max(), PRESS, 0), "1.7977e+308 Pa");
}

TEST(Units, TableShape) {
    const int counts[NUM_QUANTITIES] = {3, 7, 7, 4, 3, 3, 2, 1, 1, 2, 4, 2, 3, 1, 1, 3};
    const char* names[NUM_QUANTITIES] = {"Temperature",
                                         "Pressure",
                                         "Power",
                                         "Massflow",
                                         "Density",
                                         "Specific Energy",
                                         "Relative Value",
                                         "Entropy",
                                         "Ratio GT 1",
                                         "Ratio LT 1",
                                         "Leakage",
                                         "Relative Change",
                                         "Temperature Difference",
                                         "Specific Heat Flux (Cooling)",
                                         "Volume Flow",
                                         "Specific Volume"};
    for (int qn = 0; qn < NUM_QUANTITIES; ++qn) {
        EXPECT_EQ(unit_count(qn), counts[qn]) << qn;
        EXPECT_STREQ(unitdef[qn].name, names[qn]);
    }
    EXPECT_EQ(unit_count(-1), 0);
    EXPECT_EQ(unit_count(NUM_QUANTITIES), 0);
    EXPECT_STREQ(unit_symbol(Q_PRESSURE, unitdef[Q_PRESSURE].default_unit), "bar");
    EXPECT_STREQ(unit_symbol(Q_POWER, unitdef[Q_POWER].default_unit), "kW");
    EXPECT_STREQ(unit_symbol(Q_TEMPERATURE, unitdef[Q_TEMPERATURE].default_unit), "K");
    EXPECT_STREQ(unit_symbol(Q_VOLUME_FLOW, 0), "Nm^3/h");
    EXPECT_STREQ(unit_symbol(Q_PRESSURE, 9), "");
    // Fixed units of the solver's texts: K, bar, MW.
    EXPECT_STREQ(unit_symbol(Q_TEMPERATURE, selected_unit[Q_TEMPERATURE]), "K");
    EXPECT_STREQ(unit_symbol(Q_PRESSURE, selected_unit[Q_PRESSURE]), "bar");
    EXPECT_STREQ(unit_symbol(Q_POWER, selected_unit[Q_POWER]), "MW");
    EXPECT_DOUBLE_EQ(unitdef[Q_RATIO_GT1].minimum, 1.0);
    EXPECT_DOUBLE_EQ(unitdef[Q_SPECIFIC_HEAT_FLUX_COOLING].maximum, 0.0);
    EXPECT_DOUBLE_EQ(unitdef[Q_RELATIVE_CHANGE].maximum, 1.0);
}

TEST(Units, EveryUnitRoundTrips) {
    // Tiny values only where no offset is involved: beside an offset of
    // -459.67 a value of 1e-3 cannot keep twelve digits in a double.
    const double samples[] = {1e-9, 1e-3, 0.5, 1.0, 288.15, 101.325, 12345.678, 3.1e7};
    for (int qn = 0; qn < NUM_QUANTITIES; ++qn) {
        for (int u = 0; u < unit_count(qn); ++u) {
            for (double v : samples) {
                if (v < 0.5 && unitdef[qn].units[u].offset != 0.0) continue;
                double back = to_internal(qn, u, to_display(qn, u, v));
                EXPECT_NEAR(back, v, 1e-12 * std::abs(v)) << unitdef[qn].name << " unit " << u;
            }
        }
    }
}

TEST(Units, UnitNamesAreFoundIgnoringCase) {
    EXPECT_EQ(find_unit(Q_PRESSURE, "bar"), 3);
    EXPECT_EQ(find_unit(Q_PRESSURE, "BAR"), 3);
    EXPECT_EQ(find_unit(Q_PRESSURE, "megapascal"), 4);
    EXPECT_EQ(find_unit(Q_PRESSURE, "pa"), 0);
    EXPECT_EQ(find_unit(Q_PRESSURE, "kpa"), 1);
    EXPECT_EQ(find_unit(Q_TEMPERATURE, "Celsius"), 1);
    EXPECT_EQ(find_unit(Q_TEMPERATURE, "°F"), 2);
    EXPECT_EQ(find_unit(Q_POWER, "kiloWatt"), 1);
    EXPECT_EQ(find_unit(Q_ENTROPY, "kJ/kgK"), 0);
    EXPECT_EQ(find_unit(Q_TEMPERATURE, "C"), -1);
    EXPECT_EQ(find_unit(Q_TEMPERATURE, "bar"), -1);
}

TEST(Units, ReadValueConvertsAndSelectsTheUnit) {
    std::string out;
    double v = 0;
    int u = 0;
    EXPECT_EQ(read_value_with_unit(TEMP, "25 °C", out, v, u), RV_OK);
    EXPECT_NEAR(v, 298.15, 1e-12);
    EXPECT_EQ(u, 1);
    EXPECT_EQ(out, "25 °C");

    // A number alone is read in the current unit.
    EXPECT_EQ(read_value_with_unit(TEMP, "100", out, v, u), RV_OK);
    EXPECT_NEAR(v, 373.15, 1e-12);
    EXPECT_EQ(u, 1);

    u = 1;
    EXPECT_EQ(read_value_with_unit(PRESS, "  3.5   BAR \r\n", out, v, u), RV_OK);
    EXPECT_NEAR(v, 350.0, 1e-12);
    EXPECT_EQ(u, 3);
    EXPECT_EQ(out, "3.5 bar");

    u = 0;
    EXPECT_EQ(read_value_with_unit(PRESS, "1e5Pa", out, v, u), RV_OK);
    EXPECT_NEAR(v, 100.0, 1e-12);
    EXPECT_EQ(read_value_with_unit(PRESS, "+2 kPa", out, v, u), RV_OK);
    EXPECT_NEAR(v, 2.0, 1e-15);

    // Files carry the unit: "10 K" is 10 K as a difference too.
    u = 2;
    EXPECT_EQ(read_value_with_unit(DT, "10 K", out, v, u), RV_OK);
    EXPECT_DOUBLE_EQ(v, 10.0);
    EXPECT_EQ(format_value(v, DT, 2), "18 °F");

    u = 0;
    EXPECT_EQ(read_value_with_unit(REL, "50 %", out, v, u), RV_OK);
    EXPECT_DOUBLE_EQ(v, 0.5);
    EXPECT_EQ(u, 1);

    // A current unit the quantity lacks falls back to its default unit.
    u = 42;
    EXPECT_EQ(read_value_with_unit(POWER, "2", out, v, u), RV_OK);
    EXPECT_EQ(u, unitdef[Q_POWER].default_unit);
    EXPECT_DOUBLE_EQ(v, to_internal(Q_POWER, u, 2.0));
}

// A value outside the row's input bounds (after converting its unit) is
// refused: the old value and unit stay, the reason is given, and the text
// shows the old value.
TEST(Units, ReadValueRefusesOutsideTheBoundsAndKeepsTheOldValue) {
    const struct {
        const ValueDef& row;
        const char* text;
        int code;
        const char* why;
    } cases[] = {
        {TEMP, "-500 °C", RV_OUT_OF_BOUNDS, "above absolute zero"},
        {TEMP, "-5 K", RV_OUT_OF_BOUNDS, "above absolute zero"},
        {TEMP, "0 K", RV_OUT_OF_BOUNDS, "above absolute zero"},
        {TEMP, "-500 C", RV_OUT_OF_BOUNDS, "above absolute zero"},  // unknown unit, kelvin
        {REL, "150 %", RV_OUT_OF_BOUNDS, "cannot exceed 1"},
        {RATIO, "0.5", RV_OUT_OF_BOUNDS, "1 or more"},
        {PRESS, "0.0 MPa", RV_OUT_OF_BOUNDS, "greater than 0"},
        {POWER, "-1e308 W", RV_OK, ""},
        {POWER, "-1.7e308 hp", RV_OK, ""},
        {TEMP, "-100 degc", RV_OK, ""},  // a display value below 0 is fine
    };
    for (const auto& k : cases) {
        std::string out, why;
        double v = 300;
        int u = 0;
        EXPECT_EQ(read_value_with_unit(k.row, k.text, out, v, u, &why), k.code) << k.text;
        EXPECT_NE(why.find(k.why), std::string::npos) << k.text << ": " << why;
        if (k.code == RV_OUT_OF_BOUNDS) {
            EXPECT_EQ(v, 300.0) << k.text;
            EXPECT_EQ(u, 0) << k.text;
            EXPECT_EQ(out, format_value(300.0, k.row, 0)) << k.text;
        }
    }
    double v = 300;
    int u = 0;
    std::string out;
    EXPECT_EQ(read_value_with_unit(TEMP, "-100 degc", out, v, u), RV_OK);
    EXPECT_NEAR(v, 173.15, 1e-12);
    EXPECT_EQ(u, 1);
}

TEST(Units, ReadValueRejectsTextWithoutANumber) {
    std::string out;
    for (const char* text : {"", "   ", "abc", "K", "nan", "NaN K", "inf", "-infinity", "1e999 K",
                             "--5", "+-5", ". K"}) {
        double v = 123.0;
        int u = 1;
        EXPECT_EQ(read_value_with_unit(TEMP, text, out, v, u), RV_NO_NUMBER) << text;
        EXPECT_EQ(v, 123.0) << text;
        EXPECT_EQ(u, 1) << text;
    }
}

TEST(Units, ReadValueKeepsTheUnitOnAnUnknownName) {
    std::string out;
    double v = 0;
    int u = 3;  // bar
    EXPECT_EQ(read_value_with_unit(PRESS, "5 furlongs", out, v, u), RV_UNKNOWN_UNIT);
    EXPECT_EQ(u, 3);
    EXPECT_NEAR(v, 500.0, 1e-12);
    EXPECT_EQ(out, "5 bar");
    u = 0;
    EXPECT_EQ(read_value_with_unit(PRESS, "0.5 MPa", out, v, u), RV_OK);
    EXPECT_EQ(u, 4);
}

TEST(Units, DefaultUnitsChangeOnlyToExistingUnits) {
    int old = unitdef[Q_PRESSURE].default_unit;
    EXPECT_TRUE(set_default_unit(Q_PRESSURE, 1));
    EXPECT_EQ(unitdef[Q_PRESSURE].default_unit, 1);
    EXPECT_FALSE(set_default_unit(Q_PRESSURE, 7));
    EXPECT_FALSE(set_default_unit(Q_PRESSURE, -1));
    EXPECT_FALSE(set_default_unit(16, 0));
    EXPECT_EQ(unitdef[Q_PRESSURE].default_unit, 1);
    set_default_unit(Q_PRESSURE, old);
}

TEST(Units, InitstuffListsTheUnitSymbols) {
    initstuff();
    ASSERT_EQ(unit_lists[Q_PRESSURE].size(), 7u);
    EXPECT_EQ(unit_lists[Q_PRESSURE][3], "bar");
    EXPECT_EQ(unit_lists[Q_TEMPERATURE_DIFFERENCE][1], "°C");
    EXPECT_EQ(unit_lists[Q_MASSFLOW][0], "kg/s");
    EXPECT_EQ(unit_lists[Q_SPECIFIC_VOLUME].size(), 3u);
}

}  // namespace
