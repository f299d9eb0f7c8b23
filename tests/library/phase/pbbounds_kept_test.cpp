// The bounds of the pressure flashes' property kept across set-ups: a fluid
// set up again finds the bounds it had, bit for bit what a search from
// nothing gives, and another equation of the same fluid is not taken for
// it.
#include <gtest/gtest.h>

#include <array>
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

}  // namespace
