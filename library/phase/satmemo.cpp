// Saturation points of a mixture remembered within one flash.
#include "library/phase/satmemo.h"

#include <algorithm>
#include <vector>

#include "library/setup/common.h"
#include "library/setup/records.h"

namespace lib::mix {
namespace {

// The answers a flash keeps: a few dozen questions at most (its states
// differ in T or P, its feed stays the same).
constexpr std::size_t kMostAnswers = 64;

struct Entry {
    int kind = 0;
    double fixed = 0.0;
    double z[20] = {};
    SatAnswer answer;
};

int depth = 0;
std::vector<Entry> entries;

bool same(const Entry& e, const SatQuestion& q) {
    return e.kind == q.kind && e.fixed == q.fixed && std::equal(e.z, e.z + 20, q.z);
}

}  // namespace

FlashMemo::FlashMemo() { ++depth; }

FlashMemo::~FlashMemo() {
    if (--depth == 0) entries.clear();
}

bool flash_under_way() { return depth > 0; }

bool recall(const SatQuestion& q, SatAnswer& a) {
    if (depth == 0) return false;
    for (const Entry& e : entries) {
        if (!same(e, q)) continue;
        a = e.answer;
        return true;
    }
    return false;
}

void keep(const SatQuestion& q, const SatAnswer& a) {
    if (depth == 0 || entries.size() >= kMostAnswers) return;
    Entry e;
    e.kind = q.kind;
    e.fixed = q.fixed;
    std::copy(q.z, q.z + 20, e.z);
    e.answer = a;
    entries.push_back(e);
}

void SatAnswer::give(double& dl, double& dv, double l[20], double v[20], int& err,
                     std::string& text) const {
    dl = Dl;
    dv = Dv;
    for (int i = 0; i < 20; ++i) {
        l[i] = xl[i];
        v[i] = xv[i];
    }
    err = 0;
    text.clear();
    if (ierr != 0) fail(ierr, herr, err, text);
}

int satt_kind(int kph) { return kph + 10 * FLAGS2.sat_status + 100 * FLAGS2.spline_status; }

int satp_failure_kind(int kph) { return 2000 + satt_kind(kph); }

}  // namespace lib::mix
