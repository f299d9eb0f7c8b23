// Splitter, mixer and water separator, and the humid inlet compositions of
// the process preparation: the examples' figures, the balances, and the
// faults of each part.
#include "tests/app/core/cycle_support.h"

#include "app/core/model/tools.h"
#include "app/core/solver/mixer_splitter.h"
#include "library/library.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace app;
using cycletest::contains;
using cycletest::CycleTest;
using cycletest::slot;

// Vapour pressure of water (kPa) at T.
double water_pressure(Fluid* f, double T) {
    init_stoffwerte(f);
    double p = 0, Dl = 0, Dv = 0, xl[20], xv[20];
    int ierr = 0;
    std::string herr;
    lib::SATT(T, f->x_water.data(), lib::kDewPoint, p, Dl, Dv, xl, xv, ierr, herr);
    EXPECT_EQ(ierr, 0) << herr;
    return p;
}

class Streams : public CycleTest {};

// Water 2 kg/s at 300 K and 1000 kPa, half of it heated to 360 K and mixed
// back: the mixed enthalpy is the mean of the two.
TEST_F(Streams, SplitAndMixExample) {
    Project& p = read_file("split_and_mix.kvr");
    ASSERT_EQ(calcProject(p), CS_FINISHED) << p.calc_log;
    const Process& proc = *p.processes[0];
    const Part& split = *proc.parts[1];
    const Part& heater = *proc.parts[2];
    const Part& mixer = *proc.parts[3];
    ASSERT_EQ(mixer.type, MIXER);
    EXPECT_EQ(split.outputs[PO_OUTLET_MASSFLOW], 1.0);
    EXPECT_EQ(split.outputs[PO_2_OUTLET_MASSFLOW], 1.0);
    EXPECT_EQ(split.outputs[PO_LEAKAGE], 0.0);  // the second outlet is no leak
    EXPECT_EQ(mixer.outputs[PO_2_INLET_TEMPERATURE], 300.0);
    EXPECT_NEAR(mixer.outputs[PO_OUTLET_ENTHALPY], 239.003, 5e-4);
    EXPECT_NEAR(mixer.outputs[PO_OUTLET_TEMPERATURE], 330.042, 5e-4);
    EXPECT_EQ(mixer.outputs[PO_OUTLET_MASSFLOW], 2.0);
    EXPECT_EQ(mixer.outputs[PO_OUTLET_PRESSURE], 1000.0);
    EXPECT_EQ(proc.parts[4]->outputs[PO_INLET_MASSFLOW], 2.0);
    // The heat in leaves with the mixed stream.
    const double rise =
        2.0 * (mixer.outputs[PO_OUTLET_ENTHALPY] - split.outputs[PO_INLET_ENTHALPY]);
    EXPECT_NEAR(heater.outputs[PO_HEAT], rise, 1e-9 * rise);
    EXPECT_EQ(proc.outputs[PRO_LEAKAGE], 0.0);
}

// A mixer whose second inlet is still pending passes its stream through
// for now; one without a second inlet, or fed with another fluid, fails.
TEST_F(Streams, MixerFaults) {
    Part* mixer = create_part(MIXER);
    ASSERT_TRUE(cycletest::set_inlet(*mixer, FLUID_WATER, 300, 1000, 1.0));
    EXPECT_EQ(calc_part(*mixer), PS_FAILED);
    EXPECT_TRUE(contains(mixer->failure_text, "has no second inlet")) << mixer->failure_text;

    Part* feed = create_part(HEAT_EXCHANGER);
    ASSERT_TRUE(cycletest::set_inlet(*feed, FLUID_HELIUM, 300, 1000, 1.0));
    mixer->prev_id[1] = feed->id;
    feed->state = PS_PENDING;
    mixer->p[3] = 0;
    ASSERT_TRUE(cycletest::set_inlet(*mixer, FLUID_WATER, 300, 1000, 1.0));
    EXPECT_EQ(calc_part(*mixer), PS_PROVISIONAL);
    EXPECT_EQ(mixer->outputs[PO_OUTLET_PRESSURE], 1000.0);
    EXPECT_EQ(mixer->outputs[PO_OUTLET_TEMPERATURE], 300.0);

    feed->state = PS_FINISHED;
    EXPECT_EQ(calc_part(*mixer), PS_FAILED);
    EXPECT_TRUE(contains(mixer->failure_text,
                         "joins streams of fluids \"Water\" and \"Helium\"; a mixer mixes streams "
                         "of one fluid"))
        << mixer->failure_text;
    feed->fluid = nullptr;  // a feed not yet given its fluid
    EXPECT_EQ(calc_part(*mixer), PS_FAILED);
    EXPECT_TRUE(contains(mixer->failure_text, "\"Water\" and \"(none)\"")) << mixer->failure_text;
    free_part(feed);
    free_part(mixer);
}

TEST_F(Streams, SplitterRefusesSharesOutsideItsRange) {
    const struct {
        int option;
        double share, fixed, inlet;
        const char* message;  // null: splits
    } cases[] = {
        {0, 0.25, 0, 2, nullptr},
        {5, 0, 0, 2, nullptr},  // any other choice: half and half
        {0, 1.2, 0, 2, "the share 1.2 of outlet 2 lies outside 0 to 1"},
        {0, -0.1, 0, 2, "the share -0.1 of outlet 2 lies outside 0 to 1"},
        {1, 0, 3, 2, "the share 1.5 of outlet 2 lies outside 0 to 1"},
        {0, 0, 0, 2, "outlet 2 would carry 0 kg/s"},
        {1, 0, 2, 2, "outlet 1 would carry 0 kg/s"},
        {0, 0.5, 0, 0, "the inlet mass flow 0 kg/s is not above 0"},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.message != nullptr ? t.message : "splits");
        Part* s = create_part(SPLITTER);
        ASSERT_TRUE(cycletest::set_inlet(*s, FLUID_WATER, 300, 1000, t.inlet));
        s->options[OPT_MASS_DISTRIBUTION] = t.option;
        s->inputs[PI_RELATIVE_MASS_OUTLET2] = t.share;
        s->inputs[PI_ABSOLUTE_MASS_OUTLET2] = t.fixed;
        const int r = calc_part(*s);
        if (t.message == nullptr) {
            EXPECT_EQ(r, PS_FINISHED);
            const double r2 = t.option == 0 ? t.share : 0.5;
            EXPECT_EQ(s->outputs[PO_2_OUTLET_MASSFLOW], r2 * t.inlet);
            EXPECT_EQ(s->outputs[PO_OUTLET_MASSFLOW] + s->outputs[PO_2_OUTLET_MASSFLOW], t.inlet);
            EXPECT_EQ(s->outputs[PO_2_OUTLET_ENTHALPY], s->h[0]);
        } else {
            EXPECT_EQ(r, PS_FAILED);
            EXPECT_TRUE(contains(s->failure_text, t.message)) << s->failure_text;
        }
        free_part(s);
    }
}

// The split of composition x at (T, p) by the (T, p) flash: the vapour
// fraction and the liquid's molar mass (0 for one phase).
struct Split {
    double q = 1, M_liquid = 0;
    double y[20] = {};
};
Split split_at(Fluid* f, const std::array<double, MAX_COMPONENTS>& x, double T, double p) {
    init_stoffwerte(f);
    double D, Dl, Dv, xl[20], xv[20], q, e, h, s, cv, cp, w;
    int ierr = 0;
    std::string herr;
    lib::TPFLSH(T, p, x.data(), D, Dl, Dv, xl, xv, q, e, h, s, cv, cp, w, ierr, herr);
    EXPECT_LE(ierr, 0) << herr;
    Split r;
    for (int i = 0; i < 20; ++i) r.y[i] = x[sz(i)];
    if (q > 0 && q < 1) {
        r.q = q;
        r.M_liquid = lib::WMOL(xl);
        for (int i = 0; i < 20; ++i) r.y[i] = xv[i];
    }
    return r;
}

// The liquid of the split at the separator's outlet state leaves, per the
// inlet's mass flow m and molar mass.
double liquid_out(const Split& sp, double m, const std::array<double, MAX_COMPONENTS>& x) {
    return m / lib::WMOL(x.data()) * (1.0 - sp.q) * sp.M_liquid;
}

// Humid air 70 % at 293.15 K compressed 8:1 straight into the separator:
// it is cooled to the dew point of its water at the outlet pressure, where
// no water has condensed yet; it takes out what the split holds there.
TEST_F(Streams, WaterSeparatorAtTheDewPoint) {
    Project& p = read_file("humid_air_compressor.kvr");
    ASSERT_EQ(calcProject(p), CS_FINISHED) << p.calc_log;
    const Process& proc = *p.processes[0];
    const Part& inlet = *proc.parts[0];
    const Part& sep = *proc.parts[2];
    Fluid* f = sep.fluid;
    const int w = slot(sep, FLUID_WATER);
    // The Inlet's humid composition is its own: the fluid keeps its fractions.
    EXPECT_EQ(f->x[w], 0.0);
    const double x_w = 0.7 * water_pressure(f, 293.15) / 101.325;
    EXPECT_NEAR(inlet.x_out[w], x_w, 1e-12);
    const double T_dew = sep.outputs[PO_OUTLET_TEMPERATURE];
    EXPECT_NEAR(water_pressure(f, T_dew), x_w * sep.outputs[PO_OUTLET_PRESSURE], 1e-9);
    EXPECT_LT(T_dew, sep.outputs[PO_INLET_TEMPERATURE]);
    const Split sp = split_at(f, sep.x_in, T_dew, sep.outputs[PO_OUTLET_PRESSURE]);
    EXPECT_NEAR(sep.outputs[PO_LIQUID_WATER_OUT], liquid_out(sp, 10.0, sep.x_in), 1e-9);
    EXPECT_LT(sep.outputs[PO_LIQUID_WATER_OUT], 1e-3 * 10.0 * x_w);
    EXPECT_NEAR(sep.x_out[w], x_w, 1e-3 * x_w);  // the water goes on as vapour
    EXPECT_EQ(sep.outputs[PO_OUTLET_MASSFLOW], 10.0 - sep.outputs[PO_LIQUID_WATER_OUT]);
    EXPECT_LT(sep.outputs[PO_HEAT], 0.0);  // taken out, as a heat exchanger's
    EXPECT_NEAR(sep.heat[sep.steps], -sep.outputs[PO_HEAT], 1e-6);
}

// The same air compressed, cooled to 300 K (below its dew point at 8 bar)
// and dried: the cooler gives off the heat of the water it condenses, and
// the separator takes out the split's liquid; the saturated air goes on.
TEST_F(Streams, WaterSeparatorBelowTheDewPoint) {
    Project& p = read_file("humid_air_dryer.kvr");
    ASSERT_EQ(calcProject(p), CS_FINISHED) << p.calc_log;
    const Process& proc = *p.processes[0];
    const Part& cooler = *proc.parts[2];
    const Part& sep = *proc.parts[3];
    ASSERT_EQ(sep.type, WATER_SEPARATOR);
    Fluid* f = sep.fluid;
    const int w = slot(sep, FLUID_WATER);
    const int n = cooler.steps;
    EXPECT_NEAR(cooler.T[sz(n)], 300.0, 1e-6);
    EXPECT_GT(cooler.q[sz(n)], 0.9);  // wet: some of the water condensed
    EXPECT_LT(cooler.q[sz(n)], 1.0);
    EXPECT_LT(cooler.outputs[PO_HEAT], 0.0);
    const double x_w = sep.x_in[w];
    const double p_out = sep.outputs[PO_OUTLET_PRESSURE];
    const Split sp = split_at(f, sep.x_in, 300.0, p_out);
    ASSERT_LT(sp.q, 1.0);
    const double m_l = liquid_out(sp, 10.0, sep.x_in);
    EXPECT_NEAR(sep.outputs[PO_LIQUID_WATER_OUT], m_l, 1e-9);
    EXPECT_GT(m_l, 0.5 * 10.0 * x_w * M_WATER / lib::WMOL(sep.x_in.data()));
    // (The separator's split is its own flash within the calculation, which
    // may start from other states than the test's: equal to the last digits,
    // measured 1.2e-12 of the liquid.)
    EXPECT_EQ(sep.outputs[PO_OUTLET_MASSFLOW], 10.0 - sep.outputs[PO_LIQUID_WATER_OUT]);
    EXPECT_NEAR(sep.outputs[PO_OUTLET_MASSFLOW], 10.0 - m_l, 1e-11 * m_l);
    EXPECT_NEAR(sep.outputs[PO_OUTLET_TEMPERATURE], 300.0, 1e-9);
    for (int i = 0; i < f->az_components; ++i) EXPECT_NEAR(sep.x_out[sz(i)], sp.y[i], 1e-12);
    EXPECT_GT(sep.x_out[w], 0.0);  // saturated: its vapour stays
    EXPECT_LT(sep.x_out[w], 0.3 * x_w);
    // Nothing condenses in the separator itself.
    EXPECT_NEAR(sep.outputs[PO_HEAT], 0.0, 1e-3 * std::fabs(cooler.outputs[PO_HEAT]));
    EXPECT_NEAR(proc.outputs[PRO_LIQUID_WATER_OUT], m_l, 1e-11 * m_l);
}

TEST_F(Streams, WaterSeparatorFaults) {
    Part* sep = create_part(WATER_SEPARATOR);
    sep->steps = 10;
    // Steam is refused.
    ASSERT_TRUE(cycletest::set_inlet(*sep, FLUID_STEAM, 400, 100));
    EXPECT_EQ(calc_part(*sep), PS_FAILED);
    EXPECT_EQ(sep->failure_text,
              "Water separator is used to separate water from mixtures like humid air, not for "
              "steam\n");

    // Humid air holding more water than saturates it at 300 K: the stream
    // is not heated to its dew point, and its liquid leaves.
    Fluid* humid = fluids[FLUID_HUMID_ISO_AIR];
    ASSERT_TRUE(cycletest::set_inlet(*sep, FLUID_HUMID_ISO_AIR, 300, 1000));
    const int w = slot(*sep, FLUID_WATER);
    for (double& x : sep->x_in) x *= 0.95;
    sep->x_in[w] = 0.05;  // dew point 306 K at 1000 kPa
    auto inlet_state = [&] {
        double T = 300, p = 1000;
        return get_all_by_T_and_p(sep->x_in.data(), T, p, sep->s[0], sep->h[0], sep->rho[0],
                                  sep->q[0]);
    };
    ASSERT_EQ(inlet_state(), 0);
    EXPECT_LT(sep->q[0], 1.0);
    ASSERT_EQ(calc_part(*sep), PS_FINISHED) << sep->failure_text;
    EXPECT_EQ(sep->outputs[PO_OUTLET_TEMPERATURE], 300.0);
    EXPECT_NEAR(sep->outputs[PO_HEAT], 0.0, 1e-9);
    EXPECT_GT(sep->outputs[PO_LIQUID_WATER_OUT], 0.0);
    EXPECT_EQ(sep->outputs[PO_CONDENSATION_HEAT], 0.0);  // condensed before
    EXPECT_EQ(humid->x[w], 0.0);

    // A humid fluid whose stream holds no water passes through, with no
    // heat or water left over from the run before.
    sep->x_in = humid->x;
    ASSERT_EQ(inlet_state(), 0);
    ASSERT_EQ(calc_part(*sep), PS_FINISHED);
    for (int o : {PO_HEAT, PO_SPECIFIC_HEAT_FLUX, PO_LIQUID_WATER_OUT, PO_CONDENSATION_HEAT})
        EXPECT_EQ(sep->outputs[o], 0.0) << o;
    EXPECT_EQ(sep->outputs[PO_OUTLET_MASSFLOW], 1.0);
    EXPECT_NEAR(sep->outputs[PO_OUTLET_TEMPERATURE], 300.0, 1e-6);

    // A fluid without water fails.
    ASSERT_TRUE(cycletest::set_inlet(*sep, FLUID_DRY_ISO_AIR, 300, 1000));
    EXPECT_EQ(calc_part(*sep), PS_FAILED);
    EXPECT_EQ(sep->failure_text, "No water in fluid, cannot calculate water separator\n");
    free_part(sep);
}

// Humid ISO Air without reference values of its own is humid at the ISO
// state (288.15 K, 101.325 kPa, 60 %); a relative humidity at an inlet
// where water has no vapour pressure is refused with the reason.
TEST_F(Streams, HumidityOfTheInlet) {
    Fluid* iso = fluids[FLUID_HUMID_ISO_AIR];
    EXPECT_EQ(iso->ref_hum_T, ISO_HUMIDITY_T);
    auto bare = std::make_unique<Fluid>(*iso);
    bare->name = "Humid without reference";
    bare->ref_hum_T = bare->ref_hum_p = bare->ref_hum_rh = 0;
    Fluid* user = fluids.append(std::move(bare));
    const double x_w = 0.6 * water_pressure(iso, 288.15) / 101.325;
    for (Fluid* f : {iso, user}) {
        Process& proc = add_process("P", FLUID_HUMID_ISO_AIR, 300, 500, 1, {});
        proc.fluid = f;
        ASSERT_EQ(prepareProcess(proc), CS_FINISHED) << f->name << project->calc_log;
        const Part& inlet = *proc.parts[0];
        EXPECT_NEAR(inlet.x_out[slot(inlet, FLUID_WATER)], x_w, 1e-12) << f->name;
        EXPECT_EQ(f->x[slot(inlet, FLUID_WATER)], 0.0);
        EXPECT_EQ(inlet.water, 1);
    }
    Process& hot = add_process("Hot", 3, 700, 500, 1, {});
    hot.inputs[PRI_HUMIDITY] = 0.5;
    EXPECT_EQ(prepareProcess(hot), CS_FAILED);
    EXPECT_TRUE(contains(project->status_log + project->calc_log,
                         "Process \"Hot\": the relative humidity cannot be applied: water has no "
                         "vapour pressure at 700 K"))
        << project->calc_log;
}

// A wet stream of a pure fluid (heated into the dome by "Pre") split, one
// part heated or cooled by `branch_flux` and mixed back.  A pure fluid's
// (T, p) on its saturation line does not tell its enthalpy: the mixer mixes
// the streams' own.
struct WetMix {
    const char* label;
    const char* fluid;
    double T, p, pre_flux, branch_flux;  // K, kPa, kJ/kg
};

std::string wet_mix_text(const WetMix& c) {
    auto part = [](const char* type, const char* name, int id, const std::string& links,
                   const std::string& lines) {
        return std::string("#START Part\n  Type = \"") + type + "\"\n  Name = \"" + name +
               "\"\n  ID = " + std::to_string(id) + "\n" + links + lines + "#END\n";
    };
    auto link = [](const char* dir, int slot, int id, int other) {
        return std::string("  ") + dir + " Part ID \"" + std::to_string(slot) + "\" = \"" +
               std::to_string(id) + "\" \"" + std::to_string(other) + "\"\n";
    };
    auto heater = [](double flux) {
        return "  Option \"Outlet Temperature\" = \"Specific Heat Flux\"\n"
               "  Option \"Pressure Loss\" = \"Relative\"\n"
               "  Input Value \"Specific Heat Flux\" = \"" +
               std::to_string(flux) +
               " kJ/kg\"\n  Input Value \"Relative Pressure Loss\" = \"0 -\"\n";
    };
    std::string t = "Version = \"2.0.8\"\n#START Process\n  Name = \"Wet mix\"\n  ID = 100000\n";
    t += "#START Inlet Conditions\n  Fluid = \"" + std::string(c.fluid) + "\"\n";
    t += "  Temperature = \"" + std::to_string(c.T) + " K\"\n  Pressure = \"" +
         std::to_string(c.p) + " kPa\"\n  Massflow = \"10 kg/s\"\n#END\n";
    t += part("Inlet", "Inlet", 1, link("Next", 0, 2, 0), "");
    t += part("Heat Exchanger", "Pre", 2, link("Previous", 0, 1, 0) + link("Next", 0, 3, 0),
              heater(c.pre_flux));
    t += part("Splitter", "Split", 3,
              link("Previous", 0, 2, 0) + link("Next", 0, 4, 0) + link("Next", 1, 5, 1),
              "  Option \"Mass distribution\" = \"Relative\"\n"
              "  Input Value \"Relative Mass Outlet 2\" = \"0.4 -\"\n");
    t += part("Heat Exchanger", "Branch", 4, link("Previous", 0, 3, 0) + link("Next", 0, 5, 0),
              heater(c.branch_flux));
    t += part("Mixer", "Mixer", 5,
              link("Previous", 0, 4, 0) + link("Previous", 1, 3, 1) + link("Next", 0, 6, 0), "");
    t += part("Outlet", "Outlet 1", 6, link("Previous", 0, 5, 0), "");
    return t + "#END\n#END\n";
}

class WetMixer : public CycleTest, public ::testing::WithParamInterface<WetMix> {};

TEST_P(WetMixer, MixesTheStreamsEnthalpies) {
    const WetMix& c = GetParam();
    read_text(wet_mix_text(c), "wet_mix.kvr");
    ASSERT_EQ(calcProject(*project), CS_FINISHED) << project->calc_log;
    const Part& split = *project->processes[0]->parts[2];
    const Part& mixer = *project->processes[0]->parts[4];
    ASSERT_EQ(mixer.type, MIXER);
    const double q = split.outputs[PO_INLET_HUMIDITY];
    EXPECT_GT(q, 0.0);  // the split stream is wet
    EXPECT_LT(q, 1.0);
    const std::array<double, NUM_PART_OUTPUTS>& o = mixer.outputs;
    const double m1 = o[PO_INLET_MASSFLOW], m2 = o[PO_2_INLET_MASSFLOW], m = o[PO_OUTLET_MASSFLOW];
    EXPECT_NEAR(m, 10.0, 1e-12);
    const double H_in = m1 * o[PO_INLET_ENTHALPY] + m2 * o[PO_2_INLET_ENTHALPY];
    EXPECT_NEAR(m * o[PO_OUTLET_ENTHALPY], H_in, 1e-9 * std::fabs(H_in) + 1e-9);
    // Mixing makes entropy.
    const double S_in = m1 * o[PO_INLET_ENTROPY] + m2 * o[PO_2_INLET_ENTROPY];
    EXPECT_GE(m * o[PO_OUTLET_ENTROPY], S_in - 1e-9 * std::fabs(S_in));
}

INSTANTIATE_TEST_SUITE_P(
    PureFluids, WetMixer,
    ::testing::Values(WetMix{"WaterCooledBranch", "Water", 450, 1000, 1000, -40},
                      WetMix{"WaterHeatedBranch", "Water", 450, 1000, 1000, 60},
                      WetMix{"R134a", "R134A", 280, 800, 100, 60},
                      WetMix{"Ammonia", "Ammonia", 300, 1500, 600, -40},
                      WetMix{"CarbonDioxide", "Carbon dioxide", 280, 5000, 100, 60}),
    [](const ::testing::TestParamInfo<WetMix>& i) { return std::string(i.param.label); });

}  // namespace
