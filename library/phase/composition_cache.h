// A few values kept per mixture composition (of the current set-up), the
// least recently used going first: the warm starts' last states and splits.
#pragma once

#include <algorithm>
#include <array>

#include "library/setup/records.h"

namespace lib {

template <typename Value, int kEntries = 4>
class CompositionCache {
public:
    // The value kept for z, marked as used; nullptr when there is none.
    Value* find(const double z[20]) {
        for (Entry& e : entries_) {
            if (!same(e, z)) continue;
            e.used = ++tick_;
            return &e.value;
        }
        return nullptr;
    }
    // The value kept for z, or the place of the oldest one, taken for z
    // with a value of its own (a default one, nothing of the composition
    // that held it before).
    Value& place(const double z[20]) {
        Entry* e = nullptr;
        for (Entry& c : entries_)
            if (same(c, z)) e = &c;
        if (e == nullptr) {
            e = &*std::min_element(entries_.begin(), entries_.end(),
                                   [](const Entry& a, const Entry& b) { return a.used < b.used; });
            for (int i = 0; i < kMaxComp; ++i) e->z[static_cast<std::size_t>(i)] = z[i];
            e->nc = NCOMP.nc;
            e->value = Value{};
        }
        e->used = ++tick_;
        return e->value;
    }
    // The value kept for z without marking it used; nullptr when there is none.
    Value* peek(const double z[20]) {
        for (Entry& e : entries_)
            if (same(e, z)) return &e.value;
        return nullptr;
    }
    void clear() {
        entries_ = {};
        tick_ = 0;
    }

private:
    struct Entry {
        std::array<double, kMaxComp> z{};
        int nc = 0;
        Value value{};
        unsigned long long used = 0;  // 0: empty
    };
    bool same(const Entry& e, const double z[20]) const {
        if (e.used == 0 || e.nc != NCOMP.nc) return false;
        for (int i = 0; i < kMaxComp; ++i)
            if (e.z[static_cast<std::size_t>(i)] != z[i]) return false;
        return true;
    }
    std::array<Entry, kEntries> entries_{};
    unsigned long long tick_ = 0;
};

}  // namespace lib
