// Hostile files and a careless user: nothing lost, nothing changed without
// a word, every refusal with its reason. One table per kind of fault; the
// files are under tests/app/core/files/hostile (also seeds of the fuzz
// targets).
#include "app/core/files/file_replace.h"
#include "app/core/files/filehandling.h"
#include "app/core/files/fluid_files.h"
#include "app/core/files/png_text.h"
#include "app/core/fluids/property_table.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/core/program/kvr.h"
#include "app/core/structure/structure.h"
#include "app/core/structure/tree_rules.h"
#include "tests/app/core/file_support.h"
#include "tests/support/paths.h"
#include "tests/support/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace app;
namespace fs = std::filesystem;
using filetest::slurp;

using testsupport::Outcome;
using testsupport::shell;

// kvr2 -b with the arguments, without a display and with a settings file
// in the configuration folder that prefers kPa and degrees Celsius.
Outcome batch(const std::string& args, const fs::path& cwd) {
    return shell("env -u DISPLAY XDG_CONFIG_HOME=config '" + std::string(KVR2_BINARY_DIR) +
                     "/kvr2' -b " + args,
                 cwd);
}

fs::path hostile(const std::string& name) {
    return fs::path(testsupport::source_dir()) / "tests/app/core/files/hostile" / name;
}
fs::path example(const std::string& name) {
    return fs::path(testsupport::source_dir()) / "examples" / name;
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

int mode_of(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

// The steam cycle with its T-s diagram only (one image, a quick run).
std::string one_diagram_cycle() {
    std::string text = slurp(example("steam_rankine.kvr"));
    const std::size_t first = text.find("#START Graph");
    return text.substr(0, text.find("#START Graph", first + 1)) + "#END\n";
}

const char* const IMAGE = ".T-s Diagram Water.png";

// The signature and header chunk of a PNG image, and its end.
const std::string TINY_PNG = std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16) +
                             std::string(13 + 4, '\1') + std::string("\0\0\0\0IEND", 8) +
                             std::string(4, '\2');

// One case: files put into a fresh folder, a batch run (none when `args`
// is empty), what the output says, and what the folder holds afterwards.
struct Case {
    const char* what;
    std::function<void(const fs::path&)> arrange;
    std::string args;
    int status;
    std::vector<std::string> says;
    std::function<void(const fs::path&, const Outcome&)> check;
};

class HostileFiles : public ::testing::Test {
protected:
    void SetUp() override {
        initstuff();
        init_stoffe();
        root = fs::temp_directory_path() / ("kvr2_hostile_" + std::to_string(getpid()));
        fs::remove_all(root);
    }
    void TearDown() override {
        current_fluid = nullptr;
        current_project = nullptr;
        fluids.truncate(NUM_BUILTIN_FLUIDS);
        init_stoffe();
        fs::remove_all(root);
    }
    void run_table(const std::vector<Case>& cases) {
        int n = 0;
        for (const Case& k : cases) {
            SCOPED_TRACE(k.what);
            const auto start = std::chrono::steady_clock::now();
            const fs::path dir = root / std::to_string(n++);
            fs::create_directories(dir / "config" / "kvr2");
            std::ofstream(dir / "config" / "kvr2" / SETTINGS_FILE_NAME)
                << slurp(hostile("units_kpa.ini"));
            if (k.arrange) k.arrange(dir);
            Outcome r;
            if (!k.args.empty()) {
                r = batch(k.args, dir);
                EXPECT_EQ(r.status, k.status) << r.out;
            }
            for (const std::string& s : k.says) EXPECT_TRUE(has(r.out, s)) << s << "\n" << r.out;
            if (k.check) k.check(dir, r);
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            if (std::getenv("KVR2_TIMES") != nullptr)
                std::printf("%.3f s %s\n", took.count(), k.what);
        }
    }
    fs::path root;
};

void put(const fs::path& from, const fs::path& dir, const std::string& as = "") {
    fs::copy_file(from, dir / (as.empty() ? from.filename().string() : as));
}

// The fluid a .kvq file's text gives, or null with the error.
std::unique_ptr<Fluid> import(const std::string& text, std::string& error,
                              std::string* warning = nullptr) {
    std::unique_ptr<Fluid> f = import_fluid_text(text, error, warning);
    current_fluid = nullptr;  // the record goes with the test
    return f;
}

// ---------------------------------------------------------------------------
// 1. Data lost or silently changed
// ---------------------------------------------------------------------------

TEST_F(HostileFiles, DataIsNeitherLostNorSilentlyChanged) {
    const std::vector<Case> cases = {
        {"two projects in one run: images named after each project",
         [](const fs::path& d) {
             std::ofstream(d / "a.kvr") << one_diagram_cycle();
             std::ofstream(d / "b.kvr") << one_diagram_cycle();
             std::ofstream(d / "T-s Diagram Water.png") << "the user's own picture";
         },
         "a.kvr b.kvr",
         0,
         {},
         [](const fs::path& d, const Outcome&) {
             for (const char* p : {"a.kvr", "b.kvr"}) {
                 const std::string png = slurp(d / (std::string(p) + IMAGE));
                 EXPECT_EQ(png_text(png, BATCH_IMAGE_KEYWORD).value_or(""), p);
             }
             EXPECT_EQ(slurp(d / "T-s Diagram Water.png"), "the user's own picture");
         }},
        {"a file of the image's name that batch mode did not write stays",
         [](const fs::path& d) {
             std::ofstream(d / "a.kvr") << one_diagram_cycle();
             std::ofstream(d / (std::string("a.kvr") + IMAGE)) << "mine";
         },
         "a.kvr",
         1,
         {"not saved as", "did not write for this project; it is left as it is"},
         [](const fs::path& d, const Outcome&) {
             EXPECT_EQ(slurp(d / (std::string("a.kvr") + IMAGE)), "mine");
         }},
        {"batch mode's own image of the project is replaced, another project's is not",
         [](const fs::path& d) {
             std::ofstream(d / "a.kvr") << one_diagram_cycle();
             std::ofstream(d / (std::string("a.kvr") + IMAGE))
                 << png_with_text(TINY_PNG, BATCH_IMAGE_KEYWORD, "a.kvr");
         },
         "a.kvr",
         0,
         {},
         [](const fs::path& d, const Outcome&) {
             const fs::path image = d / (std::string("a.kvr") + IMAGE);
             EXPECT_GT(fs::file_size(image), 1000u);  // drawn anew
             std::ofstream(image) << png_with_text(TINY_PNG, BATCH_IMAGE_KEYWORD, "b.kvr");
             EXPECT_EQ(batch("a.kvr", d).status, 1);
             EXPECT_EQ(png_text(slurp(image), BATCH_IMAGE_KEYWORD).value_or(""), "b.kvr");
         }},
        {"a value the reader refuses: the line and the reason",
         [](const fs::path& d) { put(hostile("temperature_below_zero.kvr"), d); },
         "temperature_below_zero.kvr",
         1,
         {"line 7: Temperature = '-5 K': a temperature must be above absolute zero"},
         [](const fs::path& d, const Outcome&) {
             EXPECT_FALSE(fs::exists(d / "temperature_below_zero.kvr.out"));
         }},
        {"the tree refuses -5 K and an efficiency of -0.5, keeping the old values",
         nullptr,
         "",
         0,
         {},
         [](const fs::path&, const Outcome&) {
             Project* p = create_project();
             current_project = p;
             NewProcessValues v = new_process_defaults(*p, fluids[FLUID_WATER]);
             std::string refusal;
             Process* process = add_new_process(*p, v, refusal);
             ASSERT_NE(process, nullptr) << refusal;
             const double T = process->inputs[PRI_TEMPERATURE];
             const ValueEdit e = edit_value(*p, resolve_row(*p, {1, 0, 0, 1}), "-5 K");
             EXPECT_EQ(e.code, RV_OUT_OF_BOUNDS);
             EXPECT_TRUE(has(e.message, "a temperature must be above absolute zero"));
             EXPECT_TRUE(has(e.message, "reset to the old value"));
             EXPECT_EQ(process->inputs[PRI_TEMPERATURE], T);
             std::string shown, why;
             double eta = 0.8;
             int unit = 0;
             EXPECT_EQ(read_value_with_unit(part_input_values_def[PI_ISENTROPIC_EFFICIENCY], "-0.5",
                                            shown, eta, unit, &why),
                       RV_OUT_OF_BOUNDS);
             EXPECT_EQ(eta, 0.8);
             EXPECT_EQ(why, "an efficiency must be greater than 0");
             // The writer writes nothing its reader would refuse.
             process->inputs[PRI_TEMPERATURE] = 0.0;
             EXPECT_TRUE(has(input_out_of_bounds(*p), "Temperature = 0 K"));
             free_project(p);
             current_project = nullptr;
         }},
        {"the New Process dialog reads typed values as the tree does",
         nullptr,
         "",
         0,
         {},
         [](const fs::path&, const Outcome&) {
             const int kgs = 0, bar = 3, kelvin = 0;
             const struct {
                 int row, unit;
                 const char* text;
                 double shown;  // NAN: refused
                 const char* says;
             } typed[] = {
                 {PRI_MASSFLOW, kgs, "1e3", 1000.0, ""},
                 {PRI_PRESSURE, bar, "1,5", NAN, "',5' is not a unit of Pressure"},
                 {PRI_TEMPERATURE, kelvin, "abc", NAN, "is not a number; the value is kept"},
                 {PRI_PRESSURE, bar, "-5", NAN, "a pressure must be greater than 0"},
                 {PRI_PRESSURE, bar, "5 kPa", 0.05, ""},
                 {PRI_TEMPERATURE, kelvin, "5000", NAN, "the fluid takes 273.16 to 2273.15 K"},
             };
             for (const auto& t : typed) {
                 const TypedSpinValue v = read_new_process_value(
                     t.row, t.unit, t.text, t.row == PRI_PRESSURE ? 0.001 : 273.16,
                     t.row == PRI_TEMPERATURE ? 2273.15 : 1e9);
                 EXPECT_EQ(v.ok, !std::isnan(t.shown)) << t.text;
                 if (v.ok) {
                     EXPECT_NEAR(v.shown, t.shown, 1e-12) << t.text;
                 }
                 EXPECT_TRUE(has(v.message, t.says)) << t.text << ": " << v.message;
             }
         }},
        {"an unknown option value refuses the file, naming the choices",
         [](const fs::path& d) {
             for (const char* f :
                  {"option_expansion_typo.kvr", "interface_mode_magic.kvr", "splitter_banana.kvr"})
                 put(hostile(f), d);
         },
         "option_expansion_typo.kvr interface_mode_magic.kvr splitter_banana.kvr",
         1,
         {"line 48: option 'Expansion' has no choice 'Fixed outlet pressure'; its choices are "
          "'Ratio Inlet to Outlet', 'Fixed outlet', 'Ratio outlet to inlet'",
          "option 'Calculation mode' has no choice 'Magic'; its choices are 'Specific Heat Flux "
          "Hot Side'",
          "option 'Mass distribution' has no choice 'Banana'; its choices are 'Relative', 'Fixed "
          "Massflow'",
          "Batch mode: 3 of 3 files failed"},
         nullptr},
        {"mole fractions adding up to 1.00004 are scaled, with a warning",
         [](const fs::path& d) { put(hostile("dry_air_sum.kvr"), d); },
         "dry_air_sum.kvr",
         0,
         {"WARNING: The mole fractions of fluid 'Dry Air 4' defined in line 4 add up to 1.00004; "
          "they are scaled to add up to 1.",
          "Calculation finished."},
         [](const fs::path&, const Outcome&) {
             std::string error, warning;
             std::unique_ptr<Fluid> f = import(slurp(hostile("dry_air_sum.kvq")), error, &warning);
             ASSERT_NE(f, nullptr) << error;
             EXPECT_TRUE(has(warning, "add up to 1.00004; they are scaled")) << warning;
             EXPECT_NEAR(f->x[0] + f->x[1] + f->x[2] + f->x[3], 1.0, 1e-15);
             EXPECT_EQ(f->x[0], 0.78084 / 1.00004);
         }},
        {"batch mode reads no settings: a unit-less value is in the quantity's own unit",
         [](const fs::path& d) {
             std::string text = slurp(example("helium_brayton.kvr"));
             text.replace(text.find("\"1000 kPa\""), 10, "\"10\"");
             std::ofstream(d / "p.kvr") << text;
             put(hostile("units_kpa.ini"), d, SETTINGS_FILE_NAME);
         },
         "p.kvr",
         0,
         {},
         [](const fs::path& d, const Outcome&) {
             EXPECT_TRUE(has(slurp(d / "p.kvr.out"), "Pressure = \"10 bar\""));
             EXPECT_TRUE(has(slurp(d / "p.kvr.out"), "Temperature = \"300 K\""));
         }},
        {"through a link: the target gets the text without its set-user-ID bit",
         [](const fs::path& d) {
             put(example("helium_brayton.kvr"), d, "h.kvr");
             std::ofstream(d / "target") << "old";
             fs::permissions(d / "target", static_cast<fs::perms>(04755));
             fs::create_symlink("target", d / "h.kvr.out");
         },
         "h.kvr",
         0,
         {},
         [](const fs::path& d, const Outcome&) {
             EXPECT_TRUE(fs::is_symlink(d / "h.kvr.out"));
             EXPECT_TRUE(has(slurp(d / "target"), "Calculation Status = \"finished\""));
             EXPECT_EQ(mode_of(d / "target"), 0755);
         }},
        {"a link to /dev/full is an error, not a world-writable file",
         [](const fs::path& d) {
             put(example("helium_brayton.kvr"), d, "h.kvr");
             fs::create_symlink("/dev/full", d / "h.kvr.out");
         },
         "h.kvr",
         1,
         {"Could not write file 'h.kvr.out': it is not a regular file"},
         [](const fs::path& d, const Outcome&) { EXPECT_TRUE(fs::is_symlink(d / "h.kvr.out")); }},
        {"new files get the umask's mode; stale temporaries of dead runs go",
         [](const fs::path& d) {
             put(example("helium_brayton.kvr"), d, "h.kvr");
             std::ofstream(d / (temporary_prefix("h.kvr.out") + "1073741808-abcdef")) << "stale";
             std::ofstream(d /
                           (temporary_prefix("h.kvr.out") + std::to_string(getpid()) + "-abcdef"))
                 << "a running program's";
         },
         "h.kvr",
         0,
         {},
         [](const fs::path& d, const Outcome&) {
             EXPECT_FALSE(fs::exists(d / (temporary_prefix("h.kvr.out") + "1073741808-abcdef")));
             EXPECT_TRUE(fs::exists(
                 d / (temporary_prefix("h.kvr.out") + std::to_string(getpid()) + "-abcdef")));
             fs::remove(d / "h.kvr.out");
             EXPECT_EQ(shell("umask 077 && env -u DISPLAY '" + std::string(KVR2_BINARY_DIR) +
                                 "/kvr2' -b h.kvr",
                             d)
                           .status,
                       0);
             EXPECT_EQ(mode_of(d / "h.kvr.out"), 0600);
         }},
        {".kvq files: each refusal with its reason",
         nullptr,
         "",
         0,
         {},
         [](const fs::path& d, const Outcome&) {
             const struct {
                 std::string text;
                 const char* says;
             } files[] = {
                 {slurp(hostile("name_quotes.kvq")), "the fluid name holds a double quote"},
                 {slurp(hostile("name_nul.kvq")), "the fluid name holds a control character"},
                 {slurp(hostile("name_utf8.kvq")), "the fluid name is not valid UTF-8 text"},
                 {slurp(hostile("two_blocks.kvq")), "a second fluid definition (line 11)"},
                 {slurp(hostile("ref_temperature.kvq")),
                  "the reference temperature -5 K is not 273.16 to 647.096 K"},
                 {slurp(hostile("ref_pressure.kvq")), "the reference pressure 0 kPa is not 0.1"},
                 {slurp(hostile("ref_humidity.kvq")), "the relative humidity 7 is not 0 to 1"},
                 {slurp(hostile("ref_huge.kvq")), "the reference temperature 1e+308 K is not"},
                 {slurp(hostile("ref_too_wet.kvq")), "gives a water fraction of"},
                 {"Fluid Definition File Version = 1.0\n" + std::string(20u << 20, 'x'),
                  "larger than 65536 bytes"},
             };
             for (const auto& f : files) {
                 std::string error;
                 EXPECT_EQ(import(f.text, error), nullptr) << f.says;
                 EXPECT_TRUE(has(error, f.says)) << f.says << ": " << error;
             }
             fs::create_symlink("/dev/zero", d / "zero.kvq");
             std::string error;
             EXPECT_EQ(import_fluid_file((d / "zero.kvq").string(), error), nullptr);
             EXPECT_TRUE(has(error, "larger than 65536 bytes")) << error;
             current_fluid = nullptr;
         }},
    };
    run_table(cases);
}

// ---------------------------------------------------------------------------
// 3. Waits the user cannot end
// ---------------------------------------------------------------------------

// A "Current Dir" that a file chooser cannot show is not taken from the
// settings (the home folder stays); the file's other keys are.
TEST_F(HostileFiles, SettingsFoldersThatCannotBeShownAreRefused) {
    const std::string long_dir = "/" + std::string(4999, 'x');
    const struct {
        std::string text;
        std::string folder;
        const char* why;
    } cases[] = {
        {slurp(hostile("current_dir_long.ini")), long_dir, "5000 characters long, more than 4095"},
        {"[Directories]\nCurrent Dir=relative/folder\n", "relative/folder", "not an absolute path"},
        {"[Directories]\nCurrent Dir=/no/such/folder/here\n", "/no/such/folder/here",
         "not a folder that can be reached"},
        {"[Directories]\nCurrent Dir=/tmp\\t/etc\n", "/tmp\t/etc", "control character"},
        {"[Directories]\nCurrent Dir=/tmp\n", "/tmp", ""},
    };
    const int pressure = unitdef[Q_PRESSURE].default_unit;
    for (const auto& k : cases) {
        SCOPED_TRACE(k.why);
        EXPECT_TRUE(has(folder_problem(k.folder), k.why)) << folder_problem(k.folder);
        EXPECT_EQ(folder_problem(k.folder).empty(), *k.why == '\0');
        load_settings_text(k.text);
        if (*k.why != '\0') {
            EXPECT_NE(currentdir, k.folder);
        } else {
            EXPECT_EQ(currentdir, k.folder);
        }
    }
    // The long folder's file also chose kPa: that key is taken.
    load_settings_text(slurp(hostile("current_dir_long.ini")));
    EXPECT_EQ(unitdef[Q_PRESSURE].default_unit, 1);
    set_default_unit(Q_PRESSURE, pressure);
}

// ---------------------------------------------------------------------------
// 4. Messages and smaller defects
// ---------------------------------------------------------------------------

TEST_F(HostileFiles, MessagesSayWhatAndWhyOnce) {
    const std::vector<Case> cases = {
        {"a fluid the library cannot set up: said once, naming the components",
         [](const fs::path& d) { put(hostile("twenty.kvr"), d); },
         "twenty.kvr",
         1,
         {"Error initializing fluid Twenty. [SETUP error 117]",
          "The components that cannot be set up together: Nitrogen and Neon.",
          "Fluid combination in this mixture is not supported"},
         [](const fs::path&, const Outcome& r) {
             const std::size_t first = r.out.find("Error initializing fluid Twenty.");
             EXPECT_EQ(r.out.find("Error initializing fluid Twenty.", first + 1),
                       std::string::npos);
         }},
        {"a fluid block without its end line",
         [](const fs::path& d) { put(hostile("fluid_block_no_end.kvr"), d); },
         "fluid_block_no_end.kvr",
         1,
         {"line 11: the fluid block of line 3 has no end line (#END) before this line"},
         [](const fs::path&, const Outcome& r) { EXPECT_FALSE(has(r.out, "holds no process")); }},
        {"#END inside names is kept",
         [](const fs::path& d) { put(hostile("end_in_name.kvr"), d); },
         "end_in_name.kvr",
         0,
         {"Calculation finished."},
         [](const fs::path& d, const Outcome&) {
             const std::string out = slurp(d / "end_in_name.kvr.out");
             EXPECT_TRUE(has(out, "Name = \"Loop #END 1\""));
             EXPECT_TRUE(has(out, "Name = \"Pump #END\""));
             EXPECT_TRUE(fs::exists(d / "end_in_name.kvr.T-s #END.png"));
         }},
        {"the same file given twice is calculated once",
         [](const fs::path& d) { put(example("helium_brayton.kvr"), d, "h.kvr"); },
         "h.kvr ./h.kvr",
         0,
         {"File './h.kvr' is the file 'h.kvr' given before; it is calculated once."},
         [](const fs::path&, const Outcome& r) {
             const std::size_t first = r.out.find("Calculation finished.");
             EXPECT_EQ(r.out.find("Calculation finished.", first + 1), std::string::npos);
         }},
        {"property table rows 0.0001 bar apart differ",
         nullptr,
         "",
         0,
         {},
         [](const fs::path&, const Outcome&) {
             const int bar = find_unit(Q_PRESSURE, "bar");
             const int saved = unitdef[Q_PRESSURE].default_unit;
             set_default_unit(Q_PRESSURE, bar);
             TableGrid g;
             g.p_min = 100.0;
             g.p_max = 100.05;
             g.p_step = 0.01;  // 0.0001 bar
             g.T_min = g.T_max = 300.0;
             g.T_step = 1.0;
             std::vector<std::string> rows;
             std::atomic<bool> stop{false};
             write_property_table(
                 *fluids[FLUID_NITROGEN], g,
                 [&](const std::string& text) {
                     if (text.rfind("| ", 0) == 0 && text.find("Pressure") == std::string::npos &&
                         text.find("[") == std::string::npos)
                         rows.push_back(text.substr(0, 17));
                 },
                 stop, nullptr);
             set_default_unit(Q_PRESSURE, saved);
             ASSERT_EQ(rows.size(), 6u);
             EXPECT_EQ(std::set<std::string>(rows.begin(), rows.end()).size(), rows.size());
             EXPECT_TRUE(has(rows[1], "1.0001")) << rows[1];
             EXPECT_EQ(grid_decimals(1.0, 0.0001), 4);
             EXPECT_EQ(grid_decimals(350.0, 100.0), 2);
             EXPECT_EQ(grid_decimals(1.00005, 0.0001), 5);
             current_fluid = nullptr;
         }},
    };
    run_table(cases);
}

}  // namespace
