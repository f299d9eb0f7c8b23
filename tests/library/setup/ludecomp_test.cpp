#include "library/setup/ludecomp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// A column-major matrix with leading dimension ld.
struct Mat {
    int n, ld;
    std::vector<double> a;
    Mat(int n_, int ld_) : n(n_), ld(ld_), a(static_cast<std::size_t>(ld_ * n_), 0.0) {}
    double& operator()(int i, int j) { return a[static_cast<std::size_t>(i + j * ld)]; }
};

TEST(Ludecomp, SolvesWithPivotingAndReusesTheDecomposition) {
    // Needs row exchanges: the first pivot is zero.
    Mat m(3, 5);
    const double rows[3][3] = {{0.0, 2.0, 1.0}, {1.0, -1.0, 3.0}, {4.0, 1.0, -2.0}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m(i, j) = rows[i][j];
    const double z[3] = {1.5, -2.0, 0.25};
    auto rhs = [&](const double* v) {
        std::vector<double> b(3);
        for (int i = 0; i < 3; ++i)
            b[i] = rows[i][0] * v[0] + rows[i][1] * v[1] + rows[i][2] * v[2];
        return b;
    };
    std::vector<double> b = rhs(z);
    int ierr = 0;
    std::string herr;
    lib::LUDECOMP(3, 5, m.a.data(), b.data(), ierr, herr);
    ASSERT_EQ(ierr, 0);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(b[i], z[i], 1e-14);

    const double z2[3] = {-7.0, 0.5, 3.0};
    b = rhs(z2);
    ierr = -191;
    lib::LUDECOMP(3, 5, m.a.data(), b.data(), ierr, herr);
    EXPECT_EQ(ierr, 0);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(b[i], z2[i], 1e-13);
}

TEST(Ludecomp, LargeSystemAtFullLeadingDimension) {
    const int n = 50;
    Mat m(n, 50);
    std::vector<double> z(n), b(n, 0.0);
    for (int i = 0; i < n; ++i) {
        z[i] = std::sin(1.0 + i);
        for (int j = 0; j < n; ++j)
            m(i, j) = std::cos(0.37 * i * j + i - 2.0 * j) + (i == j ? 3.0 : 0.0);
    }
    Mat keep = m;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) b[i] += keep(i, j) * z[j];
    int ierr = 0;
    std::string herr;
    lib::LUDECOMP(n, 50, m.a.data(), b.data(), ierr, herr);
    ASSERT_EQ(ierr, 0);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(b[i], z[i], 1e-10);
}

TEST(Ludecomp, SingularMatricesAreReported) {
    int ierr = 0;
    std::string herr;
    Mat zero_row(2, 2);
    zero_row(0, 0) = 1.0;
    zero_row(0, 1) = 2.0;
    double b[2] = {1.0, 1.0};
    lib::LUDECOMP(2, 2, zero_row.a.data(), b, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "[LUdecomp error 1] singular matrix");

    // Dependent rows: no zero row, but the last pivot vanishes.  It must be
    // reported, not replaced by a huge number.
    Mat dep(3, 3);
    const double rows[3][3] = {{1.0, 2.0, 3.0}, {2.0, 4.0, 6.5}, {3.0, 6.0, 9.5}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) dep(i, j) = rows[i][j];
    double c[3] = {1.0, 2.0, 3.0};
    ierr = 0;
    herr.clear();
    lib::LUDECOMP(3, 3, dep.a.data(), c, ierr, herr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(herr, "[LUdecomp error 1] singular matrix");
}

TEST(Ludecomp, PivotTakesTheLargestScaledEntry) {
    // Column 0 scaled by the row maxima: 1/10, 2/2, 3/30 -> row 1.
    const double a[9] = {1.0, 2.0, 3.0, 10.0, 1.0, 30.0, 0.0, 0.0, 0.0};
    const double scale[3] = {10.0, 2.0, 30.0};
    int order[3] = {0, 1, 2};
    lib::PIVOT(3, 3, 0, order, a, scale);
    EXPECT_EQ(order[0], 1);
    EXPECT_EQ(order[1], 0);
    EXPECT_EQ(order[2], 2);
}

}  // namespace
