// Linear systems by LU decomposition (Crout, scaled partial pivoting).
#pragma once

#include <vector>

#include "library/library.h"

namespace lib {

// Row order of the last decomposition made by LUDECOMP (0-based row
// numbers), kept so that a later call with ierr = -191 solves again with it.
struct IordRecord {
    std::vector<int> order;
};
extern IordRecord IORD;

// Chooses the pivot row for column k (0-based) among the rows order[k..n-1]:
// the largest |A(row, k)|/scale(row), the earliest on ties, is exchanged into
// place k.  A is stored by columns with leading dimension ndim.
void PIVOT(int n, int ndim, int k, int order[], const double A[], const double scale[]);

}  // namespace lib
