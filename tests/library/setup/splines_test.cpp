#include "library/setup/splines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "library/phase/records.h"
#include "library/setup/records.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct SinSpline {
    int n = 201;  // knots
    std::vector<double> x, y, y2;
    SinSpline() : x(n), y(n), y2(n) {
        for (int i = 0; i < n; ++i) {
            x[i] = kPi * i / (n - 1);
            y[i] = std::sin(x[i]);
        }
        lib::CSPLINE(n - 1, x.data(), y.data(), y2.data());
    }
};

TEST(Splines, NaturalSplineReproducesASmoothFunction) {
    SinSpline s;
    EXPECT_EQ(s.y2[0], 0.0);
    EXPECT_EQ(s.y2[s.n - 1], 0.0);
    EXPECT_NEAR(s.y2[100], -1.0, 1e-4);  // sin'' at pi/2
    int ierr = 0;
    std::string herr;
    double v = 0;
    // Points in every interval, the first and last ones included.
    for (double t : {0.0, 0.001, 0.0123, 0.5, 1.0, 2.0, 3.13, kPi - 0.002, kPi}) {
        lib::CSPLNVAL(s.n, s.x.data(), s.y.data(), s.y2.data(), t, v, ierr, herr);
        EXPECT_EQ(ierr, 0) << t;
        EXPECT_NEAR(v, std::sin(t), 1e-8) << t;
    }
    // With few knots the cubic of a wrong interval is far off: the spline of
    // symmetric data is symmetric, in its first and its last interval too.
    const double xs[5] = {-2, -1, 0, 1, 2}, ys[5] = {4, 1, 0, 1, 4};
    double y2s[5], a = 0, b = 0;
    lib::CSPLINE(4, xs, ys, y2s);
    for (double t : {0.5, 1.5, 2.0}) {
        lib::CSPLNVAL(5, xs, ys, y2s, -t, a, ierr, herr);
        lib::CSPLNVAL(5, xs, ys, y2s, t, b, ierr, herr);
        EXPECT_NEAR(a, b, 1e-14) << t;
    }
}

TEST(Splines, OutsideTheKnotsIsError192) {
    SinSpline s;
    int ierr = 0;
    std::string herr;
    double v = 5;
    lib::CSPLNVAL(s.n, s.x.data(), s.y.data(), s.y2.data(), -1e-9, v, ierr, herr);
    EXPECT_EQ(ierr, 192);
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(herr.rfind("[CSPLNVAL error 192] x is out of range! xi(1)=", 0), 0u) << herr;
    lib::CSPLNVAL(s.n, s.x.data(), s.y.data(), s.y2.data(), kPi + 1e-9, v, ierr, herr);
    EXPECT_EQ(ierr, 192);
    // Two knots are too few.
    lib::CSPLNVAL(2, s.x.data(), s.y.data(), s.y2.data(), 0.001, v, ierr, herr);
    EXPECT_GT(ierr, 0);
    EXPECT_EQ(v, 0.0);
}

TEST(Splines, TridiagonalSolve) {
    // [2 1 0; 1 3 1; 0 1 4] u = r with u = (1, -2, 3)
    const double diag[3] = {2.0, 3.0, 4.0}, off[3] = {1.0, 1.0, 0.0};
    const double r[3] = {0.0, -2.0, 10.0};
    double u[3];
    lib::TRIDIAG(3, diag, off, off, r, u);
    EXPECT_NEAR(u[0], 1.0, 1e-14);
    EXPECT_NEAR(u[1], -2.0, 1e-14);
    EXPECT_NEAR(u[2], 3.0, 1e-14);
    const double zero[2] = {0.0, 0.0}, r2[2] = {1.0, 1.0};
    double w[2];
    lib::TRIDIAG(2, zero, zero, zero, r2, w);
    EXPECT_EQ(w[0], 0.0);
    EXPECT_EQ(w[1], 0.0);
}

// Fills SATSPL with a traced line over D = 0.01..30 mol/L: column 1 (a
// logarithmic column with nc = 1) holds ln T(D), column 5 P(D) itself.
class SatSplineTable : public ::testing::Test {
protected:
    static double temp(double d) { return 90.0 + 40.0 * std::log1p(d); }
    static double pres(double d) { return 3.0 * d + 0.1 * d * d; }
    void SetUp() override {
        saved_nc_ = lib::NCOMP.nc;
        const int n = 120;
        std::vector<double> x(n), y(n), y2(n);
        lib::SATSPL.n = n;
        for (int i = 0; i < n; ++i) {
            const double d = 0.01 * std::pow(3000.0, static_cast<double>(i) / (n - 1));
            lib::SATSPL.value[i][0] = std::log(d);
            lib::SATSPL.value[i][1] = std::log(temp(d));
            lib::SATSPL.value[i][5] = pres(d);
            lib::SATSPL.value[i][6] = 150.0 + d;  // a logarithmic value above 100
        }
        for (int col : {1, 5, 6}) {
            for (int i = 0; i < n; ++i) {
                x[i] = lib::SATSPL.value[i][0];
                y[i] = lib::SATSPL.value[i][col];
            }
            lib::CSPLINE(n - 1, x.data(), y.data(), y2.data());
            for (int i = 0; i < n; ++i) lib::SATSPL.d2[i][col] = y2[i];
        }
        lib::NCOMP.nc = 3;  // columns 1..6 hold logarithms
    }
    void TearDown() override {
        lib::NCOMP.nc = saved_nc_;
        lib::SATSPL.n = 0;
    }
    int saved_nc_ = 0;
};

TEST_F(SatSplineTable, ValuesDerivativesAndRangeEnds) {
    lib::NCOMP.nc = 1;  // columns 1..4 logarithmic, 5 and up plain
    int ierr = 0;
    std::string herr;
    double v = 0;
    lib::SPLNVAL(1, 0, 2.5, v, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(v, temp(2.5), 1e-4);
    lib::SPLNVAL(5, 0, 2.5, v, ierr, herr);
    EXPECT_NEAR(v, pres(2.5), 1e-4);
    lib::SPLNVAL(5, 1, 2.5, v, ierr, herr);
    EXPECT_NEAR(v, 3.0 + 0.2 * 2.5, 1e-4);
    lib::SPLNVAL(1, 1, 2.5, v, ierr, herr);
    EXPECT_NEAR(v, 40.0 / 3.5, 1e-4);
    lib::SPLNVAL(0, -1, 0.0, v, ierr, herr);
    EXPECT_NEAR(v, 0.01, 1e-12);
    lib::SPLNVAL(0, -2, 0.0, v, ierr, herr);
    EXPECT_NEAR(v, 30.0, 1e-9);
    lib::SPLNVAL(1, 0, 0.0, v, ierr, herr);
    EXPECT_EQ(v, 300.0);
    lib::SPLNVAL(1, 0, 40.0, v, ierr, herr);
    EXPECT_EQ(ierr, 192);
    ierr = 0;
    lib::SPLNVAL(0, 0, 2.5, v, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(v, 300.0);
}

TEST_F(SatSplineTable, LogarithmicColumnAbove100IsReturnedAsIs) {
    int ierr = 0;
    std::string herr;
    double v = 0;
    lib::SPLNVAL(6, 0, 4.0, v, ierr, herr);
    EXPECT_EQ(ierr, 0);
    EXPECT_NEAR(v, 154.0, 1e-6);
}

TEST_F(SatSplineTable, RootsOfValueAndDerivative) {
    lib::NCOMP.nc = 1;
    int ierr = 0;
    std::string herr;
    double d = 1.0;
    const double target = temp(7.25);
    lib::SPLNROOT(1, 0, target, d, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(d, 7.25, 1e-5);
    // From a start on the other side of the root.
    d = 25.0;
    lib::SPLNROOT(5, 0, pres(0.3), d, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(d, 0.3, 1e-5);
    // dP/dD = 3 + 0.2 D equals 5 at D = 10.
    d = 2.0;
    lib::SPLNROOT(5, 1, 5.0, d, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(d, 10.0, 1e-3);
}

TEST_F(SatSplineTable, TargetOutsideTheColumnFails) {
    lib::NCOMP.nc = 1;
    int ierr = 0;
    std::string herr;
    double d = 1.0;
    lib::SPLNROOT(1, 0, 1000.0, d, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_FALSE(herr.empty());
    EXPECT_TRUE(std::fabs(d - 0.01) < 1e-9 || std::fabs(d - 30.0) < 1e-9) << d;
}

TEST(Splines, EmptyTable) {
    lib::SATSPL.n = 0;
    int ierr = 0;
    std::string herr;
    double v = 0;
    lib::SPLNVAL(1, 0, 1.0, v, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "[SPLNVAL error 1] number of points set to zero");
    EXPECT_EQ(v, 300.0);
    double d = 1.0;
    lib::SPLNROOT(1, 0, 5.0, d, ierr, herr);
    EXPECT_EQ(ierr, 1);
}

TEST(Splines, EigenvalueNearestTheShift) {
    double a[400] = {};
    a[0] = 1.0;
    a[1 + 20] = 5.0;
    a[2 + 40] = 9.0;
    double v[3];
    double lambda = 4.9;
    int ierr = 0;
    std::string herr;
    lib::MINEIGEN(3, a, v, lambda, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    // The iteration stops when lambda changes by less than 1e-6 relative.
    EXPECT_NEAR(lambda, 5.0, 1e-7);
    EXPECT_NEAR(std::fabs(v[1]), 1.0, 1e-6);
    EXPECT_GE(v[0], 0.0);
    EXPECT_NEAR(v[0], 0.0, 1e-3);

    // [2 1 0; 1 2 1; 0 1 2]: smallest eigenvalue 2 - sqrt 2 with the vector
    // (1, -sqrt 2, 1)/2.
    double b[400] = {};
    for (int i = 0; i < 3; ++i) b[i + 20 * i] = 2.0;
    b[1] = b[20] = b[2 + 20] = b[1 + 40] = 1.0;
    lambda = 0.0;
    lib::MINEIGEN(3, b, v, lambda, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(lambda, 2.0 - std::sqrt(2.0), 1e-7);
    EXPECT_NEAR(v[0], 0.5, 1e-3);
    EXPECT_NEAR(v[1], -std::sqrt(0.5), 1e-3);
    EXPECT_NEAR(v[2], 0.5, 1e-3);

    // A shift exactly on an eigenvalue.
    lambda = 9.0;
    lib::MINEIGEN(3, a, v, lambda, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    EXPECT_NEAR(lambda, 9.0, 1e-9);
    EXPECT_NEAR(v[2], 1.0, 1e-9);
}

}  // namespace
