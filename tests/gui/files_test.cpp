// File actions of the window: New, Save, Save As, reopening, failed saves,
// Quit with unsaved changes, and files written under a decimal-comma
// locale.
#include "tree_support.h"
#include "user_path.h"

#include "app/core/files/filehandling.h"
#include "app/gui/handlers.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>

using namespace app;
using namespace app::gui;
using namespace guitest;
namespace fs = std::filesystem;

namespace {

class Files : public GuiTest {};

// Files of a folder whose names start with a dot (temporary files).
std::vector<std::string> hidden_files(const std::string& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string()[0] == '.') out.push_back(e.path().string());
    return out;
}

}  // namespace

TEST_F(Files, NewSaveAsAndSave) {
    currentdir = scratch_dir();
    choose("ui/MenuBar/MenuFile/NewAction");
    choose("ui/ToolBar/NewAction");
    Project* first = project_list[0];
    Project* second = project_list[1];
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(fs::path(first->filename).filename(), "NewProject1.kvr");
    EXPECT_EQ(fs::path(second->filename).filename(), "NewProject2.kvr");
    EXPECT_EQ(second->az_processes, 1);
    EXPECT_EQ(tab_of(second), "NewProject2 *");

    // The first Save of a new project asks for a name; ".kvr" is appended.
    const std::string dir = scratch_dir() + "/save";
    fs::create_directories(dir);
    answer_choosers({dir + "/plant", dir + "/plant.kvr.bak"});
    choose("ui/MenuBar/MenuFile/SaveAction");
    ASSERT_EQ(chooser_requests.size(), 1U);
    EXPECT_EQ(chooser_requests[0].title, "Save File as");
    EXPECT_EQ(chooser_requests[0].proposed_name, "NewProject2.kvr");
    EXPECT_TRUE(fs::exists(dir + "/plant.kvr"));
    EXPECT_EQ(second->filename, dir + "/plant.kvr");
    EXPECT_EQ(tab_of(second), "plant");
    EXPECT_EQ(currentdir, dir);
    // A name holding ".kvr" stays as typed.
    choose("ui/MenuBar/MenuFile/SaveAsAction");
    EXPECT_TRUE(fs::exists(dir + "/plant.kvr.bak"));
    EXPECT_EQ(tab_of(second), "plant");
    // Later saves write directly.
    set_project_changed_true();
    press_key(GDK_s, GDK_CONTROL_MASK);
    EXPECT_EQ(chooser_requests.size(), 2U);
    EXPECT_EQ(tab_of(second), "plant");
    EXPECT_TRUE(hidden_files(dir).empty());
    EXPECT_TRUE(messages().empty());
}

// Save (by its key or toolbar button, which take no focus) while a value is
// still being typed into the tree: the file holds the value typed.
TEST_F(Files, AValueStillBeingTypedIsSaved) {
    currentdir = scratch_dir();
    choose("ui/MenuBar/MenuFile/NewAction");
    Project* p = project_list[0];
    ASSERT_NE(start_typing(p, {1, 0, 0, 1}, "333 K"), nullptr) << "no cell opened for typing";
    const std::string path = scratch_dir() + "/typed.kvr";
    answer_choosers({path});
    press_key(GDK_s, GDK_CONTROL_MASK);
    EXPECT_NE(read_file(path).find("Temperature = \"333 K\""), std::string::npos);
    EXPECT_EQ(cell(p, {1, 0, 0, 1}), "333 K");
    EXPECT_EQ(tab_of(p), "typed");
}

// Close while a value is being typed: the value is a change, and Close asks.
TEST_F(Files, AValueStillBeingTypedIsAChangeThatCloseAsksAbout) {
    Project* p = open_project_file(example("helium_brayton.kvr"));
    ASSERT_NE(p, nullptr);
    ASSERT_NE(start_typing(p, {1, 0, 0, 1}, "333 K"), nullptr) << "no cell opened for typing";
    answer_messages({Reply::Cancel});
    choose("ui/MenuBar/MenuFile/CloseAction");
    const auto shown = messages();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].kind, MessageKind::SaveDiscardCancel);
    EXPECT_EQ(project_list[0], p);
    EXPECT_EQ(cell(p, {1, 0, 0, 1}), "333 K");
}

TEST_F(Files, FailedSavesAreReportedAndKeepTheMark) {
    Project* p = open_project_file(example("helium_brayton.kvr"));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(open_project_file(example("helium_brayton.kvr")), p);  // not read twice
    EXPECT_EQ(project_list[1], nullptr);
    set_project_changed_true();
    const std::string original = p->filename;

    // Save into a folder that does not exist.
    p->filename = scratch_dir() + "/missing/cycle.kvr";
    choose("ui/ToolBar/SaveAction");
    auto shown = messages();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_NE(shown[0].text.find(p->filename), std::string::npos) << shown[0].text;
    EXPECT_NE(shown[0].text.find("No such file or directory"), std::string::npos);
    EXPECT_EQ(tab_of(p), "helium_brayton *");

    // Save As onto a folder: reported, the old name and the mark stay, no
    // temporary file is left.
    const std::string dir = scratch_dir() + "/taken";
    fs::create_directories(dir + "/occupied.kvr");
    answer_choosers({dir + "/occupied.kvr"});
    choose("ui/MenuBar/MenuFile/SaveAsAction");
    shown = messages();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_NE(shown[0].text.find("occupied.kvr"), std::string::npos);
    EXPECT_EQ(p->filename, scratch_dir() + "/missing/cycle.kvr");
    EXPECT_EQ(tab_of(p), "helium_brayton *");
    EXPECT_TRUE(hidden_files(dir).empty());
    p->filename = original;
}

// Open with a name that leads to no project says why, by the file's name:
// a file that is not there, a folder, an empty file; nothing is opened.
TEST_F(Files, OpenSaysWhyAFileCannotBeRead) {
    const std::string dir = scratch_dir() + "/unreadable";
    fs::create_directories(dir + "/folder.kvr");
    write_file("unreadable/empty.kvr", "");
    const struct {
        std::string name;
        std::string reason;
    } cases[] = {{"missing.kvr", "No such file or directory"},
                 {"folder.kvr", "it is a folder, not a file"},
                 {"empty.kvr", "the file is empty"}};
    for (const auto& c : cases) {
        answer_choosers({dir + "/" + c.name});
        choose("ui/MenuBar/MenuFile/OpenAction");
        const auto shown = messages();
        ASSERT_EQ(shown.size(), 1U) << c.name;
        EXPECT_NE(shown[0].text.find(c.name + ": " + c.reason), std::string::npos) << shown[0].text;
        EXPECT_EQ(project_list[0], nullptr) << c.name;
    }
}

TEST_F(Files, QuitAsksForEveryChangedProject) {
    Project* a = open_project_file(example("helium_brayton.kvr"));
    Project* b = open_project_file(example("steam_rankine.kvr"));
    ASSERT_NE(b, nullptr);
    show_project_page(a);
    set_project_changed_true();
    show_project_page(b);
    set_project_changed_true();
    // Cancel keeps everything.
    answer_messages({Reply::Cancel});
    choose("ui/MenuBar/MenuFile/QuitAction");
    EXPECT_EQ(project_list[0], a);
    EXPECT_EQ(project_list[1], b);
    EXPECT_FALSE(ui.quit_requested);
    auto shown = messages();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].kind, MessageKind::SaveDiscardCancel);
    EXPECT_NE(shown[0].text.find("helium_brayton.kvr"), std::string::npos);
    // The window's close button asks the same; Discard for both ends the program.
    answer_messages({Reply::Discard, Reply::Discard});
    close_window(ui.mainwindow);
    EXPECT_EQ(project_list[0], nullptr);
    EXPECT_TRUE(ui.quit_requested);
    EXPECT_EQ(messages().size(), 2U);
}

// The window's own save under a decimal-comma locale equals the one under
// "C": the test runs itself twice as a child process, once per locale.
TEST_F(Files, SavedTheSameUnderADecimalCommaLocale) {
    if (const char* out = std::getenv("KVR2_LOCALE_CHILD_OUT")) {
        EXPECT_STREQ(localeconv()->decimal_point, ".");
        const char* all = std::getenv("LC_ALL");
        if (all != nullptr) {
            EXPECT_STREQ(std::setlocale(LC_MONETARY, nullptr), all);
        }
        Project* p = open_project_file(example("steam_rankine.kvr"));
        ASSERT_NE(p, nullptr);
        set_project_changed_true();
        answer_choosers({out});
        choose("ui/MenuBar/MenuFile/SaveAsAction");
        EXPECT_TRUE(messages().empty());
        return;
    }
    const std::string locales = std::string(KVR2_BINARY_DIR) + "/locale";
    fs::create_directories(locales);
    const std::string make = "localedef -i de_DE -f UTF-8 " + locales +
                             "/de_DE.UTF-8 >/dev/null 2>&1; test -d " + locales + "/de_DE.UTF-8";
    if (std::system(make.c_str()) != 0) GTEST_SKIP() << "localedef cannot make de_DE.UTF-8";
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    auto run = [&](const std::string& locale, const std::string& out) {
        const std::string command = "LOCPATH=" + locales + " LC_ALL=" + locale +
                                    " KVR2_LOCALE_CHILD_OUT=" + out + " " + self +
                                    " --gtest_filter=Files.SavedTheSameUnderADecimalCommaLocale"
                                    " >" +
                                    out + ".log 2>&1";
        return std::system(command.c_str());
    };
    const std::string comma = scratch_dir() + "/comma.kvr";
    const std::string plain = scratch_dir() + "/plain.kvr";
    ASSERT_EQ(run("de_DE.UTF-8", comma), 0) << read_file(comma + ".log");
    ASSERT_EQ(run("C", plain), 0) << read_file(plain + ".log");
    const std::string a = read_file(comma);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a, read_file(plain));
    // The child really ran under the decimal-comma locale.
    EXPECT_NE(read_file(comma + ".log").find("[  PASSED  ] 1 test"), std::string::npos);
}
