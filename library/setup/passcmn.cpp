// PASSCMN: one variable of the shared records read or written by its name.
// Every name is a row of one table (kind and accessor); a write is followed
// by the invalidation of the caches that depend on the value.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <string_view>

#include "library/library.h"
#include "library/models/feq.h"
#include "library/models/hmxrecords.h"
#include "library/models/pr.h"
#include "library/models/records.h"
#include "library/setup/modelgen.h"
#include "library/setup/records.h"

namespace lib {

namespace {

enum class Kind { kText, kInt, kDouble, kArray };

// What a row reaches for component icomp (and jcomp for the pair value).
struct Access {
    double* value = nullptr;  // a double
    int* count = nullptr;     // an integer (term counts)
    int limit = 0;            // the largest count the tables hold
    // An array: element k (0-based) of n elements; ints are rounded.
    double* darr = nullptr;
    int* iarr = nullptr;
    int stride = 1;
    int n = 0;
};

struct Row {
    std::string_view name;
    Kind kind;
    std::function<Access(int icomp, int jcomp)> at;
};

int feq_terms(int i) {
    const WntfeqCounts& k = WNTFEQ.k[i];
    return std::clamp(k.nterm, 0, kFeqTerms) + std::clamp(k.ncrit, 0, kFeqCrit);
}

int cpp_terms(int i) { return std::clamp(WNTCPP.n[i][0] + WNTCPP.n[i][1], 0, kCppTerms); }

Access dbl(double& v) {
    Access a;
    a.value = &v;
    return a;
}

const Row kRows[] = {
    {"heos", Kind::kText, [](int, int) { return Access{}; }},
    {"ntermf", Kind::kInt,
     [](int i, int) {
         Access a;
         a.count = &WNTFEQ.k[i].nterm;
         a.limit = kFeqTerms - std::clamp(WNTFEQ.k[i].ncrit, 0, kFeqCrit);
         return a;
     }},
    {"ncrt", Kind::kInt,
     [](int i, int) {
         Access a;
         a.count = &WNTFEQ.k[i].ncrit;
         a.limit = std::min(kFeqCrit, kFeqTerms - std::clamp(WNTFEQ.k[i].nterm, 0, kFeqTerms));
         return a;
     }},
    {"ntermc", Kind::kInt,
     [](int i, int) {
         Access a;
         a.count = &WNTCPP.n[i][0];
         a.limit = kCppTerms - std::clamp(WNTCPP.n[i][1], 0, kCppTerms);
         return a;
     }},
    {"nterme", Kind::kInt,
     [](int i, int) {
         Access a;
         a.count = &WNTCPP.n[i][1];
         a.limit = kCppTerms - std::clamp(WNTCPP.n[i][0], 0, kCppTerms);
         return a;
     }},
    {"accen", Kind::kDouble, [](int i, int) { return dbl(CCON.acf[i]); }},
    {"dcrit", Kind::kDouble, [](int i, int) { return dbl(CCON.dc[i]); }},
    {"deos", Kind::kDouble, [](int i, int) { return dbl(EOSLIM.dmax[i]); }},
    {"dipole", Kind::kDouble, [](int i, int) { return dbl(CCON.dip[i]); }},
    {"pcfeq", Kind::kDouble, [](int i, int) { return dbl(WCFFEQ.pc[i]); }},
    {"pcrit", Kind::kDouble, [](int i, int) { return dbl(CCON.pc[i]); }},
    {"peos", Kind::kDouble, [](int i, int) { return dbl(EOSLIM.pmax[i]); }},
    {"r", Kind::kDouble, [](int, int) { return dbl(GCNST.r); }},
    {"rho0feq", Kind::kDouble, [](int i, int) { return dbl(WCFFEQ.dred[i]); }},
    {"rhocfeq", Kind::kDouble, [](int i, int) { return dbl(WCFFEQ.dc[i]); }},
    {"rhoz", Kind::kDouble, [](int i, int) { return dbl(ZRED.dred[i]); }},
    {"t0feq", Kind::kDouble, [](int i, int) { return dbl(WCFFEQ.tred[i]); }},
    {"tcfeq", Kind::kDouble, [](int i, int) { return dbl(WCFFEQ.tc[i]); }},
    {"tcrit", Kind::kDouble, [](int i, int) { return dbl(CCON.tc[i]); }},
    {"tmeos", Kind::kDouble, [](int i, int) { return dbl(EOSLIM.tmin[i]); }},
    {"tnbp", Kind::kDouble, [](int i, int) { return dbl(CCON.tnbp[i]); }},
    {"ttpn", Kind::kDouble, [](int i, int) { return dbl(CCON.ttp[i]); }},
    {"txeos", Kind::kDouble, [](int i, int) { return dbl(EOSLIM.tmax[i]); }},
    {"tz", Kind::kDouble, [](int i, int) { return dbl(ZRED.tred[i]); }},
    {"wmas", Kind::kDouble, [](int i, int) { return dbl(CCON.wm[i]); }},
    {"zcrit", Kind::kDouble, [](int i, int) { return dbl(CCON.zc[i]); }},
    {"pcpr", Kind::kDouble, [](int i, int) { return dbl(WCFPR.pc[i]); }},
    {"rhocpr", Kind::kDouble, [](int i, int) { return dbl(WCFPR.dc[i]); }},
    {"tcpr", Kind::kDouble, [](int i, int) { return dbl(WCFPR.tc[i]); }},
    {"acnpr", Kind::kDouble, [](int i, int) { return dbl(WCFPR.acf[i]); }},
    {"afeq", Kind::kArray,
     [](int i, int) {
         Access a;
         a.darr = WCFFEQ.n[i].data();
         a.n = feq_terms(i);
         return a;
     }},
    {"tifeq", Kind::kArray,
     [](int i, int) {
         Access a;
         a.darr = WCFFEQ.t[i].data();
         a.n = feq_terms(i);
         return a;
     }},
    {"difeq", Kind::kArray,
     [](int i, int) {
         Access a;
         a.iarr = WCFFEQ.d[i].data();
         a.n = feq_terms(i);
         return a;
     }},
    {"dlif", Kind::kArray,
     [](int i, int) {
         Access a;
         a.iarr = WCFFEQ.l[i].data();
         a.n = feq_terms(i);
         return a;
     }},
    {"cpc0", Kind::kArray,
     [](int i, int) {
         Access a;
         a.darr = WCPCPP.c[i][0].data();
         a.stride = 5;
         a.n = cpp_terms(i);
         return a;
     }},
    {"xkc0", Kind::kArray,
     [](int i, int) {
         Access a;
         a.darr = WCPCPP.c[i][0].data() + 1;
         a.stride = 5;
         a.n = cpp_terms(i);
         return a;
     }},
    {"prcoef", Kind::kArray,
     [](int i, int) {
         Access a;
         if (i >= 0) {
             a.darr = CONPR.p[static_cast<std::size_t>(i)].data();
             a.n = 6;
         }
         return a;
     }},
    {"fprkij", Kind::kDouble,
     [](int i, int j) {
         Access a;
         if (i >= 1 && j >= 1) a.value = &CFXPR.k(i, j)[0];
         return a;
     }},
};

// The caches that hold values derived from the records.
void invalidate(int icomp) {
    CPPSAV.t[icomp] = 0.0;
    CPPSAV.tref[icomp] = 0.0;
    FEQSAV.tau[icomp] = 0.0;
    FEQSAV.del[icomp] = 0.0;
    if (WNTFEQ.k[icomp].nterm > 0) SETEXP(icomp);
    RESETA();
}

}  // namespace

void PASSCMN(const std::string& hvr, int iset, int icomp, int jcomp, std::string& hstr, int& ilng,
             double& dbl_value, double arr[], int& ierr, std::string& herr) {
    const ModelsChange change;
    ierr = 0;
    herr.clear();
    // Indices out of bounds: nothing is read or written.
    if (std::abs(icomp) > 20 || std::abs(jcomp) > 20) {
        ierr = 2;
        herr = "[PASSCMN error] inputs out of bounds";
        return;
    }
    const bool write = iset == 1;
    if (!write) {
        hstr = std::string(255, ' ');
        ilng = 0;
        dbl_value = 0.0;
    }
    std::string_view name(hvr);
    name = name.substr(0, name.find('\0'));
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    const Row* row = nullptr;
    for (const Row& r : kRows)
        if (r.name == name) row = &r;
    if (row == nullptr) {
        ierr = 1;
        herr = "[PASSCMN error] variable name not recognized";
        return;
    }
    const Access a = row->at(icomp, jcomp);
    switch (row->kind) {
        case Kind::kText:
            if (write)
                EOSMOD.mix = Code(hstr.substr(0, 3));
            else if (!(EOSMOD.mix.empty_code() || EOSMOD.mix.is("   ")))
                hstr = EOSMOD.mix.str() + std::string(252, ' ');
            break;
        case Kind::kInt:
            if (!write) {
                ilng = *a.count;
            } else if (ilng < 0 || ilng > a.limit) {
                ierr = 3;
                herr = "[PASSCMN error] value out of range for the tables: " + std::to_string(ilng);
                return;
            } else {
                *a.count = ilng;
            }
            break;
        case Kind::kDouble:
            if (a.value == nullptr) break;
            if (write)
                *a.value = dbl_value;
            else
                dbl_value = *a.value;
            break;
        case Kind::kArray:
            if (arr == nullptr) break;
            for (int k = 0; k < a.n; ++k) {
                const std::size_t at = static_cast<std::size_t>(k * a.stride);
                if (a.darr != nullptr) {
                    if (write)
                        a.darr[at] = arr[k];
                    else
                        arr[k] = a.darr[at];
                } else {
                    if (write)
                        a.iarr[at] = static_cast<int>(std::lround(arr[k]));
                    else
                        arr[k] = a.iarr[at];
                }
            }
            break;
    }
    if (write) invalidate(icomp);
}

}  // namespace lib
