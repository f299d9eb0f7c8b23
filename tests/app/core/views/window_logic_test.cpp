// Decisions of the main window taken without a display: tab texts, file
// names, calculability, progress figures, the theme file, the manual's
// messages, "Apply to all values", and replacing a file safely.
#include "app/core/views/window_logic.h"
#include "app/core/files/theme_file.h"
#include "app/core/program/manual.h"
#include "app/core/program/progress.h"
#include "app/core/structure/structure.h"

#include "app/core/files/file_replace.h"
#include "app/core/model/create_delete.h"
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/core/program/kvr.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace app;
namespace fs = std::filesystem;

struct TempDir {
    fs::path path;
    TempDir() {
        char pattern[] = "/tmp/kvr2-window-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempDir() { fs::remove_all(path); }
};

TEST(WindowLogic, TabTextsAndFileNames) {
    struct Row {
        const char* file;
        bool changed;
        const char* tab;
    };
    const Row rows[] = {{"/x/cycle.kvr", false, "cycle"},
                        {"/x/cycle.kvr", true, "cycle *"},
                        {"/x/a.KVR", false, "a.KVR"},
                        {"/x/plant.kvr.bak", false, "plant"},
                        {"NewProject2.kvr", true, "NewProject2 *"},
                        {"/x/nokvr", false, "nokvr"}};
    for (const Row& r : rows) EXPECT_EQ(tab_text(r.file, r.changed), r.tab) << r.file;
    EXPECT_EQ(save_as_file_name("/d/plant"), "/d/plant.kvr");
    EXPECT_EQ(save_as_file_name("/d/plant.kvr.bak"), "/d/plant.kvr.bak");
    EXPECT_EQ(save_as_file_name("/d/Plant.KVR"), "/d/Plant.KVR.kvr");
    EXPECT_EQ(new_project_file_name(2, "/d"), "/d/NewProject2.kvr");
    EXPECT_EQ(new_project_file_name(1, ""), "NewProject1.kvr");
}

TEST(WindowLogic, Calculability) {
    initstuff();
    init_stoffe();
    EXPECT_FALSE(check_calculability_of(nullptr).calculate);
    EXPECT_FALSE(check_calculability_of(nullptr).create_graph);
    Project* p = create_project();
    current_project = p;
    Calculability c = check_calculability_of(p);
    EXPECT_FALSE(c.calculate);
    EXPECT_FALSE(c.create_graph);
    EXPECT_EQ(c.why, "the project holds no process");
    append_process(*p, create_process(0));
    EXPECT_TRUE(check_calculability_of(p).calculate);
    Part* mixer = create_part(MIXER);
    insert_part(*p->processes[0], 1, mixer);
    c = check_calculability_of(p);
    EXPECT_FALSE(c.calculate);
    EXPECT_TRUE(c.create_graph);
    EXPECT_EQ(c.why, "the second inlet of mixer 'Mixer 1' is not connected");
    mixer->prev_id[1] = 1;
    EXPECT_TRUE(check_calculability_of(p).calculate);
    free_project(p);
}

TEST(WindowLogic, ProgressOfAProcessAndInterfaceLines) {
    Process process;
    std::array<Part, 5> parts;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        parts[k].steps = 100;
        process.parts[k] = &parts[k];
    }
    process.az_parts = 2;
    EXPECT_EQ(process_progress(process), 0.0);  // Inlet and Outlet only
    process.az_parts = 5;                       // three parts between them
    parts[1].state = PS_FINISHED;
    parts[2].busy = 1;
    parts[2].segment = 50;
    EXPECT_NEAR(process_progress(process), 1.5 / 3, 1e-15);
    EXPECT_EQ(progress_text(process_progress(process)), "50 %");
    parts[2].segment = 500;  // never beyond its part
    EXPECT_NEAR(process_progress(process), 2.0 / 3, 1e-15);
    process.done = 1;
    EXPECT_EQ(process_progress(process), 1.0);
    EXPECT_EQ(progress_text(1.0), "100 %");

    struct Row {
        int status;
        int steps;
        const char* text;
    };
    const Row rows[] = {{0, 0, "pending ..."},
                        {2, 0, "provisional ..."},
                        {5, 0, "FAILED TO CONVERGE!"},
                        {1, 3, "Converged after 3 steps."},
                        {1, 100, "Unconverged but finished after 100 steps."},
                        {7, 4, "iterating 4/100, current residual =   0.25000000"},
                        {9, 0, "unkown status"}};
    for (const Row& r : rows) {
        Interface itf;
        itf.status = r.status;
        itf.step_count = r.steps;
        itf.first_residual = 4.0;
        itf.residual = 1.0;
        EXPECT_EQ(interface_status_text(itf), r.text) << r.status;
    }
}

TEST(WindowLogic, ThemeFileAndThemesOnOffer) {
    EXPECT_EQ(theme_file_text("Raleigh", ""), "gtk-theme-name = \"Raleigh\"\n");
    EXPECT_EQ(theme_file_text("Raleigh", "Sans 12"),
              "gtk-theme-name = \"Raleigh\"\nstyle \"user-font\"\n{\n\tfont_name=\"Sans 12\"\n}\n"
              "widget_class \"*\" style \"user-font\"\n");
    TempDir a;
    TempDir b;
    for (const auto& [dir, name] :
         {std::pair{a.path, "Zeta"}, {a.path, "Alpha"}, {b.path, "Alpha"}, {b.path, "Mid"}}) {
        fs::create_directories(dir / name / "gtk-2.0");
        std::ofstream(dir / name / "gtk-2.0" / "gtkrc") << "";
    }
    fs::create_directories(b.path / "NoRc" / "gtk-2.0");
    std::ofstream(b.path / "plainfile") << "";
    const std::vector<std::string> expected = {"Alpha", "Mid", "Zeta"};
    EXPECT_EQ(list_themes({a.path.string(), b.path.string(), "/no/such/folder"}), expected);

    setenv("XDG_CONFIG_HOME", a.path.c_str(), 1);
    EXPECT_EQ(theme_file_path(), (a.path / "kvr2" / "gtkrc").string());
    std::string reason;
    EXPECT_TRUE(write_theme_file(theme_file_path(), "Mid", "", reason));
    std::ifstream in(theme_file_path());
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "gtk-theme-name = \"Mid\"");
}

TEST(WindowLogic, ManualPathAndMessages) {
    app_home_dir = "/opt/kvr2/bin";
    EXPECT_EQ(manual_path(), "/opt/kvr2/bin/../kvr2-manual.pdf");
    const std::string p = manual_path();
    EXPECT_EQ(manual_error_text(MF_OTHER, p), "The file '" + p + "' cannot be opened!");
    EXPECT_EQ(manual_error_text(MF_ACCESS_DENIED, p),
              "Access to file " + p + " denied by operating system");
    EXPECT_EQ(manual_error_text(MF_NO_ASSOCIATION, p),
              "This file type is not assigned to any application on your computer.");
    EXPECT_EQ(manual_error_text(MF_PATH_NOT_FOUND, p), "The path to file '" + p + "' not found!");
}

TEST(WindowLogic, ApplyUnitToAllValuesOfOpenProjects) {
    initstuff();
    init_stoffe();
    Project* p = create_project();
    current_project = p;
    append_process(*p, create_process(0));
    Graph* g = create_graph();
    g->kind = GK_DIAGRAM;
    g->x_axis.unit_quantity = Q_ENTROPY;
    g->y_axis.unit_quantity = Q_TEMPERATURE;
    append_graph(*p, g);
    project_list_add(p);
    const int celsius = find_unit(Q_TEMPERATURE, "°C");
    const int before = unitdef[Q_TEMPERATURE].default_unit;
    EXPECT_FALSE(apply_unit_to_all(Q_TEMPERATURE, 99));
    ASSERT_TRUE(apply_unit_to_all(Q_TEMPERATURE, celsius));
    EXPECT_EQ(unitdef[Q_TEMPERATURE].default_unit, celsius);
    EXPECT_EQ(p->processes[0]->input_units[PRI_TEMPERATURE], celsius);
    EXPECT_EQ(p->processes[0]->parts[1]->output_units[PO_INLET_TEMPERATURE], celsius);
    EXPECT_EQ(p->processes[0]->input_units[PRI_PRESSURE], unitdef[Q_PRESSURE].default_unit);
    EXPECT_EQ(g->y_axis.unit, celsius);
    EXPECT_EQ(g->iso_style[ISO_ISOTHERM].unit, celsius);
    EXPECT_NE(g->x_axis.unit, celsius == 0 ? 1 : celsius);
    set_default_unit(Q_TEMPERATURE, before);
    project_list_remove(p);
    free_project(p);
}

TEST(WindowLogic, FilesAreReplacedThroughATemporaryFile) {
    TempDir d;
    const std::string target = (d.path / "plant.kvr").string();
    std::ofstream(target) << "old";
    chmod(target.c_str(), 0640);
    std::string reason;
    ASSERT_TRUE(replace_file_contents(target, "new text", reason));
    std::ifstream in(target);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "new text");
    struct stat st {};
    stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640U);
    // A missing folder and a folder in the file's place fail with a reason,
    // leaving nothing behind.
    EXPECT_FALSE(replace_file_contents((d.path / "missing" / "x.kvr").string(), "t", reason));
    EXPECT_EQ(reason, "No such file or directory");
    fs::create_directories(d.path / "taken.kvr");
    EXPECT_FALSE(replace_file_contents((d.path / "taken.kvr").string(), "t", reason));
    EXPECT_FALSE(reason.empty());
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(d.path)) ++entries;
    EXPECT_EQ(entries, 2);  // plant.kvr and taken.kvr
}

}  // namespace
