// The program started once per test binary, and the window-test fixture.
#include "gui_support.h"

#include "app/core/files/filehandling.h"
#include "app/core/model/init.h"
#include "app/core/program/kvr.h"
#include "support/paths.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace guitest {
namespace {

std::string scratch;

// The program as the window branch starts it, in a scratch folder: the
// settings file and the theme file go there.
class ProgramEnvironment : public ::testing::Environment {
public:
    ProgramEnvironment(int* argc, char*** argv) : argc_(argc), argv_(argv) {}
    void SetUp() override {
        char pattern[] = "/tmp/kvr2-gui-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratch = pattern;
        std::filesystem::create_directories(scratch + "/bin");
        std::filesystem::create_directories(scratch + "/config");
        setenv("XDG_CONFIG_HOME", (scratch + "/config").c_str(), 1);
        setenv("lang", "en", 1);
        std::setlocale(LC_ALL, "");
        std::setlocale(LC_NUMERIC, "C");
        const std::string program = scratch + "/bin/kvr2";
        app::set_folders(program.c_str());
        app::app_home_dir = scratch + "/bin";  // not the test binary's folder
        app::app_example_dir = testsupport::source_dir() + "/examples";
        app::load_default_settings();
        app::initstuff();
        app::init_stoffe();
        ASSERT_TRUE(app::gui::init_toolkit(argc_, argv_)) << "no display";
        app::gui::create_mainwindow();
        pump();
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(scratch, ec);
    }

private:
    int* argc_;
    char*** argv_;
};

}  // namespace

std::string scratch_dir() { return scratch; }

std::string example(const std::string& name) {
    return testsupport::source_dir() + "/examples/" + name;
}

std::string write_file(const std::string& name, const std::string& text) {
    const std::string path = scratch + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void pump() {
    for (int i = 0; i < 3; ++i) {
        while (gtk_events_pending()) gtk_main_iteration();
        app::gui::drain_messages();
    }
}

bool run_until(const std::function<bool()>& done, double seconds) {
    gint64 end = g_get_monotonic_time() + static_cast<gint64>(seconds * 1e6);
    while (!done()) {
        if (g_get_monotonic_time() > end) return false;
        gtk_main_iteration_do(FALSE);
        g_usleep(2000);
    }
    return true;
}

void soon(std::function<void()> action, unsigned delay_ms) {
    auto* held = new std::function<void()>(std::move(action));
    g_timeout_add_full(
        G_PRIORITY_DEFAULT, delay_ms,
        [](gpointer data) -> gboolean {
            (*static_cast<std::function<void()>*>(data))();
            return FALSE;
        },
        held, [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
}

void screenshot(const std::string& name) {
    pump();
    gdk_flush();
    const std::string dir = std::string(KVR2_BINARY_DIR) + "/screens";
    std::filesystem::create_directories(dir);
    GdkWindow* root = gdk_get_default_root_window();
    int w = 0;
    int h = 0;
    gdk_drawable_get_size(GDK_DRAWABLE(root), &w, &h);
    GdkPixbuf* shot = gdk_pixbuf_get_from_drawable(nullptr, root, nullptr, 0, 0, 0, 0, w, h);
    ASSERT_NE(shot, nullptr);
    EXPECT_TRUE(
        gdk_pixbuf_save(shot, (dir + "/" + name + ".png").c_str(), "png", nullptr, nullptr));
    g_object_unref(shot);
}

std::string tab_of(const app::Project* project) {
    const app::gui::ProjectView* view = app::gui::view_of(project);
    if (view == nullptr) return "";
    return gtk_label_get_text(GTK_LABEL(view->tab_label));
}

bool action_sensitive(const char* path) {
    GtkAction* action = app::gui::action_at(path);
    return action != nullptr && gtk_action_is_sensitive(action);
}

bool widget_sensitive(const char* path) {
    GtkWidget* w = gtk_ui_manager_get_widget(app::gui::ui.ui_manager, path);
    return w != nullptr && gtk_widget_is_sensitive(w);
}

void GuiTest::install() {
    app::gui::DialogAnswerer a;
    a.message = [this](const app::gui::MessageRequest&) {
        if (replies_.empty()) return app::gui::Reply::Cancel;
        app::gui::Reply r = replies_.front();
        replies_.erase(replies_.begin());
        return r;
    };
    a.chooser =
        [this](const app::gui::ChooserRequest& request) -> std::optional<app::gui::ChooserAnswer> {
        chooser_requests.push_back(request);
        if (paths_.empty()) return std::nullopt;
        app::gui::ChooserAnswer answer;
        answer.path = paths_.front();
        paths_.erase(paths_.begin());
        answer.folder = std::filesystem::path(answer.path).parent_path().string();
        answer.include_graphs = request.include_graphs;
        answer.include_results = request.include_results;
        return answer;
    };
    a.dialog = [this](GtkDialog* dialog) -> int {
        const char* title = gtk_window_get_title(GTK_WINDOW(dialog));
        dialog_titles.emplace_back(title != nullptr ? title : "");
        if (!dialog_answers_.empty()) {
            auto answer = dialog_answers_.front();
            dialog_answers_.erase(dialog_answers_.begin());
            return answer(dialog);
        }
        return dialog_titles.back() == "Create New Process" ? GTK_RESPONSE_OK : GTK_RESPONSE_CANCEL;
    };
    app::gui::set_dialog_answerer(a);
}

void GuiTest::answer_dialogs(std::vector<std::function<int(GtkDialog*)>> answers) {
    dialog_answers_ = std::move(answers);
}

GtkWidget* find_widget(GtkWidget* root, const std::string& name) {
    if (root == nullptr) return nullptr;
    const char* own = gtk_widget_get_name(root);
    if (own != nullptr && name == own) return root;
    if (!GTK_IS_CONTAINER(root)) return nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(root));
    GtkWidget* found = nullptr;
    for (GList* l = children; l != nullptr && found == nullptr; l = l->next)
        found = find_widget(static_cast<GtkWidget*>(l->data), name);
    g_list_free(children);
    return found;
}

GtkWidget* shown_window(const std::string& title) {
    GList* all = gtk_window_list_toplevels();
    GtkWidget* found = nullptr;
    for (GList* l = all; l != nullptr; l = l->next) {
        const char* t = gtk_window_get_title(GTK_WINDOW(l->data));
        if (t != nullptr && title == t && gtk_widget_get_visible(GTK_WIDGET(l->data)))
            found = GTK_WIDGET(l->data);
    }
    g_list_free(all);
    return found;
}

void GuiTest::SetUp() {
    install();
    app::gui::take_shown_messages();
    pump();
}

void GuiTest::TearDown() {
    pump();
    app::gui::close_all_projects(false);
    app::gui::ui.quit_requested = false;
    pump();
    app::gui::set_dialog_answerer({});
}

void GuiTest::answer_messages(std::vector<app::gui::Reply> replies) { replies_ = replies; }

void GuiTest::answer_choosers(std::vector<std::string> paths) { paths_ = paths; }

}  // namespace guitest

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new guitest::ProgramEnvironment(&argc, &argv));
    return RUN_ALL_TESTS();
}
