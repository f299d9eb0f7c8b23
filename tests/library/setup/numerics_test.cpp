#include "library/setup/numerics.h"
#include "tests/support/fluid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

TEST(Numerics, CubeRootKeepsTheSign) {
    EXPECT_EQ(lib::CBRTX(-8.0), -2.0);
    EXPECT_EQ(lib::CBRTX(0.0), 0.0);
    EXPECT_NEAR(lib::CBRTX(27.0), 3.0, 1e-15);
    EXPECT_NEAR(lib::CBRTX(-1.0e-9), -1.0e-3, 1e-18);
}

TEST(Numerics, CubicThreeRealRoots) {
    // (z - 1)(z - 2)(z - 3)
    const double a[3] = {-6.0, 11.0, -6.0};
    double r[3];
    lib::CUBIC(a, r);
    EXPECT_NEAR(r[0], 1.0, 1e-12);
    EXPECT_NEAR(r[1], 3.0, 1e-12);
    EXPECT_NEAR(r[2], 2.0, 1e-12);
}

TEST(Numerics, CubicOneRealRootFillsAllThree) {
    // z^3 + z - 10 = (z - 2)(z^2 + 2z + 5)
    const double a[3] = {-10.0, 1.0, 0.0};
    double r[3];
    lib::CUBIC(a, r);
    for (double z : r) EXPECT_NEAR(z, 2.0, 1e-12);
}

TEST(Numerics, CubicSymmetricRootsAboutTheShift) {
    // z^3 - 3z: roots -sqrt 3, 0, sqrt 3; the smallest is negative, so the
    // first output is the largest.
    const double a[3] = {0.0, -3.0, 0.0};
    double r[3];
    lib::CUBIC(a, r);
    EXPECT_NEAR(r[0], std::sqrt(3.0), 1e-12);
    EXPECT_NEAR(r[1], std::sqrt(3.0), 1e-12);
    EXPECT_NEAR(r[2], 0.0, 1e-12);
    // The same shifted by 5: (z - 5)^3 - 3 (z - 5).
    const double b[3] = {-110.0, 72.0, -15.0};
    lib::CUBIC(b, r);
    EXPECT_NEAR(r[0], 5.0 - std::sqrt(3.0), 1e-9);
    EXPECT_NEAR(r[1], 5.0 + std::sqrt(3.0), 1e-9);
    EXPECT_NEAR(r[2], 5.0, 1e-9);
}

TEST(Numerics, MinpVertexLineAndErrors) {
    int ierr = 0;
    std::string herr;
    double xmin = 0;
    const double x3[3] = {0.0, 1.0, 3.0};
    double y3[3];
    for (int i = 0; i < 3; ++i) y3[i] = (x3[i] - 2.0) * (x3[i] - 2.0) + 1.0;
    lib::MINP(3, x3, y3, xmin, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(xmin, 2.0, 1e-13);

    const double x2[3] = {0.0, 2.0, 0.0}, y2[3] = {-1.0, 1.0, 0.0};
    lib::MINP(2, x2, y2, xmin, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(xmin, 1.0, 1e-15);

    const double yf[3] = {1.0, 1.0 - 1.0e-7, 0.0}, xf[3] = {0.0, 1.0, 0.0};
    lib::MINP(2, xf, yf, xmin, ierr, herr);
    EXPECT_EQ(xmin, 100000.0);

    lib::MINP(4, x3, y3, xmin, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "[MINP error 1] invalid inputs");
    EXPECT_EQ(xmin, 0.0);

    // A maximum: error 2.  The first two values are equal, so the line has
    // no zero crossing and the vertex stands (not half of it).
    const double xn[3] = {0.0, 2.0, 1.0}, yn[3] = {0.0, 0.0, 1.0};
    lib::MINP(3, xn, yn, xmin, ierr, herr);
    EXPECT_EQ(ierr, 2);
    EXPECT_EQ(herr, "[MINP error 2] curvature of parabola is negative");
    EXPECT_NEAR(xmin, 1.0, 1e-15);

    const double ye[3] = {3.0, 3.0, 0.0};
    lib::MINP(2, x2, ye, xmin, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(xmin, 0.0);
}

TEST(Numerics, PolynReproducesPolynomials) {
    const double x[4] = {0.5, 1.5, 2.0, 4.0};
    double y[4];
    auto f = [](double t) { return 2.0 - 3.0 * t + 0.5 * t * t - 0.25 * t * t * t; };
    for (int i = 0; i < 4; ++i) y[i] = f(x[i]);
    int ierr = 7;
    std::string herr = "x";
    double v = 0;
    lib::POLYN(4, x, y, 3.1, v, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_TRUE(herr.empty());
    EXPECT_NEAR(v, f(3.1), 1e-12);
    // The quadratic through the first three points at one of them.
    lib::POLYN(3, x, y, 1.5, v, ierr, herr);
    EXPECT_NEAR(v, y[1], 1e-13);

    double x21[21], y21[21];
    for (int i = 0; i < 21; ++i) x21[i] = y21[i] = i;
    lib::POLYN(21, x21, y21, 3.0, v, ierr, herr);
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(ierr, 0);
}

TEST(Numerics, FitlInterpolatesAndRejects) {
    const double x[5] = {-1.0, 0.0, 1.0, 2.0, 3.0};
    double y[5];
    for (int i = 0; i < 5; ++i)
        y[i] = 1.0 + 2.0 * x[i] - x[i] * x[i] * x[i] + 0.1 * std::pow(x[i], 4);
    double c[50];
    double v = 0;
    int ierr = 0;
    std::string herr;
    lib::FITL(5, 50, x, y, 1.7, v, c, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(v, 1.0 + 3.4 - std::pow(1.7, 3) + 0.1 * std::pow(1.7, 4), 1e-11);
    EXPECT_NEAR(c[0], 1.0, 1e-11);
    EXPECT_NEAR(c[1], 2.0, 1e-11);
    EXPECT_NEAR(c[2], 0.0, 1e-11);
    EXPECT_NEAR(c[3], -1.0, 1e-11);
    EXPECT_NEAR(c[4], 0.1, 1e-11);

    lib::FITL(2, 50, x, y, -0.5, v, c, ierr, herr);
    EXPECT_NEAR(v, (y[0] + y[1]) / 2.0, 1e-14);
    lib::FITL(1, 50, x, y, 9.0, v, c, ierr, herr);
    EXPECT_EQ(v, y[0]);

    double xs[51] = {}, ys[51] = {};
    lib::FITL(51, 51, xs, ys, 0.0, v, c, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "[FITL error 1] invalid inputs");
    // Repeated abscissae make the system singular.
    const double xr[3] = {1.0, 1.0, 2.0}, yr[3] = {1.0, 2.0, 3.0};
    lib::FITL(3, 3, xr, yr, 0.0, v, c, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(v, 0.0);
}

// The golden-section search on nitrogen at 300 K: the minimum of the
// enthalpy along density lies where dh/dD at constant T changes sign; the
// entropy falls with density, so its maximum is at the low end.
TEST(Numerics, GoldFindsExtremaAlongDensity) {
    ASSERT_EQ(testsupport::set_up("nitrogen"), "");
    int ierr = 0;
    const double x[20] = {1.0};
    double d = 0, f = 0;
    lib::GOLD(1.0, 40.0, 29, 0, x, 300.0, 0.0, 0.0, "H", d, f, ierr);
    EXPECT_EQ(ierr, 0);
    auto dhdd = [&](double dd) {
        double o[6];
        lib::DHD1(300.0, dd, x, o[0], o[1], o[2], o[3], o[4], o[5]);
        return o[2];
    };
    const double width = 39.0 * std::pow(0.61803398875, 29);
    EXPECT_LT(dhdd(d - 2 * width), 0.0);
    EXPECT_GT(dhdd(d + 2 * width), 0.0);
    double h = 0;
    lib::ENTHAL(300.0, d, x, h);
    EXPECT_NEAR(f, h, 1e-6 * std::fabs(h));

    lib::GOLD(1.0, 40.0, 29, 1, x, 300.0, 0.0, 0.0, "S", d, f, ierr);
    EXPECT_NEAR(d, 1.0, 2 * width);
    double s = 0;
    lib::ENTRO(300.0, d, x, s);
    EXPECT_NEAR(f, s, 1e-3);  // s falls by some 8 J/(mol K) per mol/L here

    // The energy has its own minimum, at another density.
    double de = 0, fe = 0;
    lib::GOLD(1.0, 40.0, 29, 0, x, 300.0, 0.0, 0.0, "E", de, fe, ierr);
    auto e = [&](double dd) {
        double v = 0;
        lib::ENERGY(300.0, dd, x, v);
        return v;
    };
    EXPECT_NEAR(fe, e(de), 1e-6 * std::fabs(fe));
    EXPECT_GT(std::fabs(de - d), 1.0);
    EXPECT_GT(e(de - 0.05), e(de));
    EXPECT_GT(e(de + 0.05), e(de));
}

}  // namespace
