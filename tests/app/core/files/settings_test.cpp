#include "app/core/files/filehandling.h"

#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/core/program/kvr.h"
#include "tests/app/core/file_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace app;
namespace fs = std::filesystem;

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        initstuff();
        for (int q = 0; q < NUM_QUANTITIES; ++q) saved_units[q] = unitdef[q].default_unit;
        saved_home = app_home_dir;
        dir = fs::temp_directory_path() /
              ("kvr2_settings_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        app_home_dir = dir.string();
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        saved_xdg = xdg != nullptr ? xdg : "";
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    }
    void TearDown() override {
        for (int q = 0; q < NUM_QUANTITIES; ++q) unitdef[q].default_unit = saved_units[q];
        app_home_dir = saved_home;
        part_dialog_mole_or_mass = 0;
        part_dialog_percent_or_fraction = 0;
        if (saved_xdg.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", saved_xdg.c_str(), 1);
        fs::remove_all(dir);
    }
    void write(const std::string& text) {
        fs::create_directories(fs::path(settings_path()).parent_path());
        std::ofstream(settings_path()) << text;
    }
    static std::string slurp(const fs::path& path) { return filetest::slurp(path); }

    int saved_units[NUM_QUANTITIES] = {};
    std::string saved_home, saved_xdg;
    fs::path dir;
};

TEST_F(Settings, OneKeyChangesOneDefaultUnit) {
    write("[Default Units]\nPressure=1\n");
    load_default_settings();
    EXPECT_EQ(unitdef[Q_PRESSURE].default_unit, 1);
    for (int q = 0; q < NUM_QUANTITIES; ++q) {
        if (q == Q_PRESSURE) continue;
        EXPECT_EQ(unitdef[q].default_unit, saved_units[q]) << q;
    }
    EXPECT_FALSE(currentdir.empty());  // the home folder
}

TEST_F(Settings, BadValuesAreIgnoredOrClamped) {
    write(
        "[Default Units]\nTemperature=abc\nPressure=99\nPower=-3\n"
        "[PartDialogSettings]\nMoleOrMass=7\nPercentOrFraction=x\n");
    load_default_settings();
    EXPECT_EQ(unitdef[Q_TEMPERATURE].default_unit, saved_units[Q_TEMPERATURE]);
    EXPECT_EQ(unitdef[Q_PRESSURE].default_unit, unit_count(Q_PRESSURE) - 1);
    EXPECT_EQ(unitdef[Q_POWER].default_unit, 0);
    EXPECT_EQ(part_dialog_mole_or_mass, 1);
    EXPECT_EQ(part_dialog_percent_or_fraction, 0);

    for (int q = 0; q < NUM_QUANTITIES; ++q) unitdef[q].default_unit = saved_units[q];
    write("this is [not a key file\n");
    load_default_settings();
    for (int q = 0; q < NUM_QUANTITIES; ++q) EXPECT_EQ(unitdef[q].default_unit, saved_units[q]);
}

TEST_F(Settings, SavedValuesComeBackAndOtherGroupsStay) {
    write("[Page Setup]\nPPDName=iso_a4\n");
    load_default_settings();
    set_default_unit(Q_TEMPERATURE, 1);
    part_dialog_percent_or_fraction = 1;
    currentdir = dir.string();
    ASSERT_TRUE(save_default_settings());
    EXPECT_FALSE(fs::exists(dir / SETTINGS_FILE_NAME));  // never beside the program
    std::string text = slurp(settings_path());
    EXPECT_NE(text.find("[Default Units]"), std::string::npos);
    EXPECT_NE(text.find("Temperature=1"), std::string::npos);
    EXPECT_NE(text.find("Specific Heat Flux (Cooling)="), std::string::npos);
    EXPECT_NE(text.find("PPDName=iso_a4"), std::string::npos);

    set_default_unit(Q_TEMPERATURE, 0);
    part_dialog_percent_or_fraction = 0;
    currentdir.clear();
    load_default_settings();
    EXPECT_EQ(unitdef[Q_TEMPERATURE].default_unit, 1);
    EXPECT_EQ(part_dialog_percent_or_fraction, 1);
    EXPECT_EQ(currentdir, dir.string());
}

// The window's settings live in the user's configuration folder, whatever
// the program's folder holds or allows; a file beside the program is not
// read.
TEST_F(Settings, TheUsersFolderAlone) {
    fs::path expected = dir / "config" / "kvr2" / SETTINGS_FILE_NAME;
    std::ofstream(dir / SETTINGS_FILE_NAME) << "[Default Units]\nMassflow=2\n";
    for (const fs::path& program : {dir, dir / "no such folder"}) {
        app_home_dir = program.string();
        EXPECT_EQ(settings_path(), expected.string());
        set_default_unit(Q_MASSFLOW, 1);
        ASSERT_TRUE(save_default_settings());
        EXPECT_TRUE(fs::exists(expected));
        set_default_unit(Q_MASSFLOW, 0);
        load_default_settings();
        EXPECT_EQ(unitdef[Q_MASSFLOW].default_unit, 1);
    }
    EXPECT_EQ(slurp(dir / SETTINGS_FILE_NAME), "[Default Units]\nMassflow=2\n");
}

}  // namespace

// No file-system error ends the program: with the program's folder unknown
// or unwritable, the user's folder is looked for through a configuration
// path that is too long, loops through links, passes a plain file or has no
// name at all; the settings then keep their defaults and saving reports
// failure instead of throwing.
TEST(SettingsPaths, FileSystemErrorsAreNotFatal) {
    const fs::path dir = fs::temp_directory_path() / ("kvr2_paths_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::create_symlink(dir / "loop_b", dir / "loop_a");
    fs::create_symlink(dir / "loop_a", dir / "loop_b");
    std::ofstream(dir / "plain") << "x";
    const std::string saved_home = app_home_dir;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string saved_xdg = xdg != nullptr ? xdg : "";
    const struct {
        std::string program_folder;
        std::string config;
    } cases[] = {
        {"", (dir / "loop_a").string()},
        {"", std::string(5000, 'x')},
        {(dir / "missing").string(), (dir / "loop_a" / "deeper").string()},
        {(dir / "missing").string(), (dir / "plain" / "under a file").string()},
        {(dir / "missing").string(), "/" + std::string(300, 'y') + "/" + std::string(300, 'z')},
        {"", ""},
    };
    for (const auto& k : cases) {
        app_home_dir = k.program_folder;
        setenv("XDG_CONFIG_HOME", k.config.c_str(), 1);
        EXPECT_NO_THROW({
            EXPECT_FALSE(settings_path().empty());
            load_default_settings();
            save_default_settings();
        }) << k.config.substr(0, 80);
    }
    app_home_dir = saved_home;
    if (saved_xdg.empty())
        unsetenv("XDG_CONFIG_HOME");
    else
        setenv("XDG_CONFIG_HOME", saved_xdg.c_str(), 1);
    fs::remove_all(dir);
}

// The program's folder comes from the running program itself, never from
// the working directory: a bare name or a relative path gives the same
// answer as the real path.
TEST(SettingsPaths, ProgramFolderIsTheRealOne) {
    const std::string real = program_folder(nullptr);
    ASSERT_FALSE(real.empty());
    EXPECT_TRUE(fs::path(real).is_absolute());
    EXPECT_EQ(program_folder("app_tests"), real);
    EXPECT_EQ(program_folder("./somewhere/else"), real);
    set_folders("kvr2");
    EXPECT_EQ(app_home_dir, real);
    EXPECT_NE(app_home_dir, ".");
}
