// Helpers of the isoline tests.
#include "tests/diagrams/isoline_support.h"
#include "app/core/files/fluid_files.h"
#include "app/core/fluids/fluid_properties.h"
#include "app/core/model/init.h"
#include "app/diagrams/isolines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace isotest {

double rel(double a, double b) { return std::fabs(a - b) / std::max(std::fabs(b), 1e-300); }

std::string flash_back(Fluid& f, double p, double h, double T, double rho, double q,
                       double* q_found) {
    double T2 = 0, s2 = 0, rho2 = 0, q2 = 0, pp = p, hh = h;
    const int r = get_all_by_p_and_h(f.x.data(), T2, pp, s2, hh, rho2, q2, 0.5);
    if (q_found != nullptr) *q_found = q2;
    char buf[300];
    if (r > 0 && r != PH_VAPOUR_ASSUMED && r != PH_LIQUID_ASSUMED) {  // warnings count
        std::snprintf(buf, sizeof buf, "p=%.9g h=%.9g (T %.9g): flash %d", p, h, T, r);
        return buf;
    }
    const bool sensitive = f.az_components > 1 && q2 > 0 && q2 < 1 && (p < 1 || q2 < 1e-6);
    const double rho_tolerance = sensitive ? 1e-4 : 1e-6;
    if (rel(T2, T) > 1e-6 || rel(rho2, rho) > rho_tolerance ||
        (q >= 0 && std::fabs(q2 - q) > 1e-6)) {
        std::snprintf(buf, sizeof buf, "p=%.9g h=%.9g: T %.9g/%.9g rho %.9g/%.9g q %.9g", p, h, T2,
                      T, rho2, rho, q2);
        return buf;
    }
    return "";
}

const std::vector<IsoPoint>& only_line(Fluid& f, int family, double position) {
    init_stoffwerte(&f);
    for (IsoFamily& fam : f.iso) fam.computed.assign(static_cast<std::size_t>(iso_count(fam)), 1);
    const int i = iso_find(f.iso[family], position);
    EXPECT_GE(i, 0);
    f.iso[family].computed[static_cast<std::size_t>(i)] = 0;
    app::diagrams::calc_isolines(f);
    return f.iso[family].lines[static_cast<std::size_t>(i)];
}

const std::vector<IsoPoint>& line_at(Fluid& f, int family, double position) {
    if (iso_find(f.iso[family], position) < 0) iso_add_position(f.iso[family], position);
    return only_line(f, family, position);
}

namespace {

// A user mixture of the given components ("Hydrogen 0.5, Water 0.5"), of
// the general kind, as a fluid-definition file defines it.
Fluid* user_mixture(const std::string& components) {
    std::istringstream in(components);
    std::string item, lines;
    int count = 0;
    while (std::getline(in, item, ',')) {
        const std::size_t cut = item.find_last_of(' ');
        const std::size_t start = item.find_first_not_of(' ');
        lines += " Component \"" + item.substr(start, cut - start) + "\" mol_proz \"" +
                 item.substr(cut + 1) + "\" \n";
        ++count;
    }
    const std::string text =
        "Fluid Definition File Version = 1.0\n\n#START Fluid Definition\n Fluid name = \"Test "
        "mixture\"\n Az parts = \"" +
        std::to_string(count) + "\"\n Fluid humidity type = \"4\"\n" + lines +
        "#END Fluid definition\n";
    std::string error;
    std::unique_ptr<Fluid> f = import_fluid_text(text, error);
    EXPECT_NE(f, nullptr) << error;
    return f ? fluids.append(std::move(f)) : nullptr;
}

}  // namespace

Fluid* fluid_named(const char* name) {
    if (Fluid* f = fluids.find(name)) return f;
    fluids.truncate(NUM_BUILTIN_FLUIDS);
    if (std::string(name).find(',') != std::string::npos) return user_mixture(name);
    auto f = std::make_unique<Fluid>(*fluids[FLUID_NITROGEN]);
    f->name = f->components = name;
    f->ref_code = "DEF";
    f->comp_index[0] = -1;
    f->dome_count = 0;
    init_iso_positions(*f);
    return fluids.append(std::move(f));
}

}  // namespace isotest
