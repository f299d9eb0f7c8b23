// The program started once per test binary, and the window-test fixture.
#include "gui_support.h"

#include "app/core/files/filehandling.h"
#include "app/core/model/init.h"
#include "app/core/program/kvr.h"
#include "app/core/solver/simulator.h"
#include "support/paths.h"

#include <algorithm>
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

void send_button(GtkWidget* widget, GdkWindow* window, double x, double y, guint button,
                 GdkEventType type) {
    GdkEventButton event{};
    event.type = type;
    event.window = window;
    event.send_event = TRUE;
    event.time = GDK_CURRENT_TIME;
    event.x = x;
    event.y = y;
    gint ox = 0;
    gint oy = 0;
    gdk_window_get_origin(window, &ox, &oy);
    event.x_root = ox + x;
    event.y_root = oy + y;
    event.button = button;
    event.device = gdk_device_get_core_pointer();
    gtk_widget_event(widget, reinterpret_cast<GdkEvent*>(&event));
    pump();
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

void when(std::function<bool()> ready, std::function<void()> action) {
    struct Pending {
        std::function<bool()> ready;
        std::function<void()> action;
        gint64 deadline;
    };
    auto* pending =
        new Pending{std::move(ready), std::move(action), g_get_monotonic_time() + 60000000};
    g_timeout_add(
        20,
        [](gpointer data) -> gboolean {
            auto* job = static_cast<Pending*>(data);
            if (!job->ready() && g_get_monotonic_time() < job->deadline) return TRUE;
            job->action();
            delete job;
            return FALSE;
        },
        pending);
}

void show_graph_page(app::Graph* graph) {
    const app::gui::ProjectView* pv = app::gui::view_of(graph->project);
    const app::gui::GraphView* gv = app::gui::view_of(graph);
    ASSERT_TRUE(pv != nullptr && gv != nullptr && gv->page_box != nullptr);
    GtkNotebook* book = GTK_NOTEBOOK(pv->graph_book);
    gtk_notebook_set_current_page(book, gtk_notebook_page_num(book, gv->page_box));
    pump();
}

app::Project* open_calculated(const std::string& example_name) {
    app::Project* p = app::gui::open_project_file(example(example_name));
    EXPECT_NE(p, nullptr) << example_name;
    if (p == nullptr) return nullptr;
    EXPECT_EQ(app::calcProject(*p), app::CS_FINISHED) << example_name;
    pump();
    app::gui::update_graphs(p);
    return p;
}

namespace {

// Saves the area (x, y, w, h) of the screen as build/screens/NAME.png.
void save_screen_area(const std::string& name, int x, int y, int w, int h) {
    pump();
    gdk_flush();
    const std::string path = std::string(KVR2_BINARY_DIR) + "/screens/" + name + ".png";
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    GdkWindow* root = gdk_get_default_root_window();
    GdkPixbuf* shot = gdk_pixbuf_get_from_drawable(nullptr, root, nullptr, x, y, 0, 0, w, h);
    ASSERT_NE(shot, nullptr);
    EXPECT_TRUE(gdk_pixbuf_save(shot, path.c_str(), "png", nullptr, nullptr));
    g_object_unref(shot);
}

}  // namespace

void screenshot(const std::string& name, GtkWidget* window) {
    pump();
    GdkWindow* w = window != nullptr ? gtk_widget_get_window(window) : nullptr;
    ASSERT_NE(w, nullptr) << name << ": the window is not shown";
    int x = 0;
    int y = 0;
    gdk_window_get_origin(w, &x, &y);
    const auto [width, height] = window_size(window);
    int sw = 0;
    int sh = 0;
    gdk_drawable_get_size(GDK_DRAWABLE(gdk_get_default_root_window()), &sw, &sh);
    x = std::clamp(x, 0, sw - 1);
    y = std::clamp(y, 0, sh - 1);
    save_screen_area(name, x, y, std::min(width, sw - x), std::min(height, sh - y));
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

namespace {

// Labels and entries shown in the window whose text does not fit the room
// they were given: "label 'Pressure Ratio' needs 98 has 60".
void cut_texts(GtkWidget* w, std::vector<std::string>& out) {
    if (!gtk_widget_get_mapped(w)) return;
    GtkAllocation a;
    gtk_widget_get_allocation(w, &a);
    if (GTK_IS_LABEL(w) && gtk_label_get_ellipsize(GTK_LABEL(w)) == PANGO_ELLIPSIZE_NONE &&
        !gtk_label_get_line_wrap(GTK_LABEL(w))) {
        int width = 0;
        int height = 0;
        pango_layout_get_pixel_size(gtk_label_get_layout(GTK_LABEL(w)), &width, &height);
        if (width > a.width || height > a.height)
            out.push_back(std::string("label '") + gtk_label_get_text(GTK_LABEL(w)) + "' needs " +
                          std::to_string(width) + " has " + std::to_string(a.width));
    } else if (GTK_IS_ENTRY(w) && gtk_entry_get_text_window(GTK_ENTRY(w)) != nullptr) {
        int room = 0;
        int height = 0;
        gdk_drawable_get_size(GDK_DRAWABLE(gtk_entry_get_text_window(GTK_ENTRY(w))), &room,
                              &height);
        int width = 0;
        pango_layout_get_pixel_size(gtk_entry_get_layout(GTK_ENTRY(w)), &width, &height);
        if (width > room)
            out.push_back(std::string("entry '") + gtk_entry_get_text(GTK_ENTRY(w)) + "' needs " +
                          std::to_string(width) + " has " + std::to_string(room));
    }
    if (!GTK_IS_CONTAINER(w)) return;
    GList* children = gtk_container_get_children(GTK_CONTAINER(w));
    for (GList* l = children; l != nullptr; l = l->next) cut_texts(GTK_WIDGET(l->data), out);
    g_list_free(children);
}

}  // namespace

::testing::AssertionResult no_text_cut(GtkWidget* window) {
    if (window == nullptr) return ::testing::AssertionFailure() << "no window";
    std::vector<std::string> cut;
    cut_texts(window, cut);
    if (cut.empty()) return ::testing::AssertionSuccess();
    ::testing::AssertionResult r = ::testing::AssertionFailure();
    const char* title = GTK_IS_WINDOW(window) ? gtk_window_get_title(GTK_WINDOW(window)) : "";
    r << "\"" << (title != nullptr ? title : "") << "\" cuts texts:";
    for (const std::string& c : cut) r << "\n  " << c;
    return r;
}

::testing::AssertionResult message_reads_whole(GtkDialog* box) {
    if (box == nullptr || !GTK_IS_MESSAGE_DIALOG(box))
        return ::testing::AssertionFailure() << "no message box";
    GtkWidget* label = GTK_MESSAGE_DIALOG(box)->label;
    GtkAllocation a;
    gtk_widget_get_allocation(label, &a);
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(gtk_label_get_layout(GTK_LABEL(label)), &width, &height);
    if (!gtk_widget_get_mapped(label) || width > a.width || height > a.height)
        return ::testing::AssertionFailure() << "the text needs " << width << " x " << height
                                             << " pixels and has " << a.width << " x " << a.height;
    int sw = 0;
    int sh = 0;
    gdk_drawable_get_size(GDK_DRAWABLE(gdk_get_default_root_window()), &sw, &sh);
    int x = 0;
    int y = 0;
    gdk_window_get_origin(gtk_widget_get_window(GTK_WIDGET(box)), &x, &y);
    const auto [bw, bh] = window_size(GTK_WIDGET(box));
    if (x < 0 || y < 0 || x + bw > sw || y + bh > sh)
        return ::testing::AssertionFailure() << "the box (" << bw << " x " << bh << " at " << x
                                             << ", " << y << ") leaves the screen";
    return ::testing::AssertionSuccess();
}

void GuiTest::install() {
    app::gui::DialogAnswerer a;
    a.message = [this](const app::gui::MessageRequest& request, GtkDialog* box) {
        // Every message box the user would see: shown, on the screen, its
        // text whole.
        EXPECT_TRUE(user_sees(GTK_WIDGET(box), {}, 150, 80)) << request.text;
        EXPECT_TRUE(message_reads_whole(box)) << request.text;
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
        EXPECT_TRUE(user_sees_named(GTK_WIDGET(dialog)));
        if (!dialog_answers_.empty()) {
            auto answer = dialog_answers_.front();
            dialog_answers_.erase(dialog_answers_.begin());
            return answer(dialog);
        }
        return dialog_titles.back() == "Create New Process" ? GTK_RESPONSE_OK : GTK_RESPONSE_CANCEL;
    };
    app::gui::set_dialog_answerer(a);
}

void GuiTest::meet_real_dialogs(bool on) {
    if (on)
        app::gui::set_dialog_answerer({});
    else
        install();
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

std::pair<int, int> window_size(GtkWidget* window) {
    GdkWindow* w = window != nullptr ? gtk_widget_get_window(window) : nullptr;
    if (w == nullptr || !gdk_window_is_visible(w)) return {0, 0};
    int width = 0;
    int height = 0;
    gdk_drawable_get_size(GDK_DRAWABLE(w), &width, &height);
    return {width, height};
}

int spin_text_cut(GtkWidget* widget) {
    if (!GTK_IS_SPIN_BUTTON(widget)) return 0;
    GdkWindow* area = gtk_entry_get_text_window(GTK_ENTRY(widget));
    if (area == nullptr) return 0;
    int room = 0;
    int height = 0;
    gdk_drawable_get_size(GDK_DRAWABLE(area), &room, &height);
    int width = 0;
    pango_layout_get_pixel_size(gtk_entry_get_layout(GTK_ENTRY(widget)), &width, &height);
    return std::max(0, width - room);
}

::testing::AssertionResult user_sees(GtkWidget* window, const std::vector<std::string>& names,
                                     int min_width, int min_height) {
    if (window == nullptr) return ::testing::AssertionFailure() << "no window";
    pump();
    const char* title = GTK_IS_WINDOW(window) ? gtk_window_get_title(GTK_WINDOW(window)) : "";
    const std::string what = std::string("\"") + (title != nullptr ? title : "") + "\"";
    if (!gtk_widget_get_visible(window) || !gtk_widget_get_mapped(window))
        return ::testing::AssertionFailure() << what << " is not shown";
    const auto [width, height] = window_size(window);
    if (width < min_width || height < min_height)
        return ::testing::AssertionFailure()
               << what << " is " << width << " x " << height << " pixels, expected at least "
               << min_width << " x " << min_height;
    for (const std::string& name : names) {
        GtkWidget* w = find_widget(window, name);
        if (w == nullptr) return ::testing::AssertionFailure() << what << " has no " << name;
        GtkAllocation a;
        gtk_widget_get_allocation(w, &a);
        if (!gtk_widget_get_visible(w) || !gtk_widget_get_mapped(w) || a.width < 2 || a.height < 2)
            return ::testing::AssertionFailure()
                   << what << ": " << name << " is not shown (visible " << gtk_widget_get_visible(w)
                   << ", mapped " << gtk_widget_get_mapped(w) << ", " << a.width << " x "
                   << a.height << ")";
        const int cut = spin_text_cut(w);
        if (cut > 0)
            return ::testing::AssertionFailure()
                   << what << ": " << name << " cuts its value \""
                   << gtk_entry_get_text(GTK_ENTRY(w)) << "\" by " << cut << " pixels";
    }
    return no_text_cut(window);
}

namespace {

// The names given to widgets below `w`, leaving out the pages of notebooks
// that are not the current one and the widgets that are not shown on
// purpose (a spare widget never packed has no parent).
void named_widgets(GtkWidget* w, std::vector<std::string>& names) {
    const char* own = gtk_widget_get_name(w);
    if (own != nullptr && std::string(own) != G_OBJECT_TYPE_NAME(w)) names.emplace_back(own);
    if (!GTK_IS_CONTAINER(w)) return;
    GtkWidget* current = nullptr;
    if (GTK_IS_NOTEBOOK(w)) {
        const int page = gtk_notebook_get_current_page(GTK_NOTEBOOK(w));
        current = gtk_notebook_get_nth_page(GTK_NOTEBOOK(w), page);
    }
    GList* children = gtk_container_get_children(GTK_CONTAINER(w));
    for (GList* l = children; l != nullptr; l = l->next) {
        GtkWidget* child = GTK_WIDGET(l->data);
        if (current != nullptr && child != current) continue;
        named_widgets(child, names);
    }
    g_list_free(children);
}

}  // namespace

::testing::AssertionResult user_sees_named(GtkWidget* window) {
    std::vector<std::string> names;
    if (window != nullptr && GTK_IS_DIALOG(window))
        named_widgets(gtk_dialog_get_content_area(GTK_DIALOG(window)), names);
    else if (window != nullptr)
        named_widgets(window, names);
    return user_sees(window, names);
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
