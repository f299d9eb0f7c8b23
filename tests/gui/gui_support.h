// What the window tests share: the program started once per test binary
// (toolkit, tables, fluids, main window), a fixture that leaves no project
// open and no dialog waiting, and helpers to let the window run.
#pragma once

#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace guitest {

// Folders of the run: a scratch folder per test binary, the examples.
std::string scratch_dir();
std::string example(const std::string& name);
// A file in the scratch folder with the text; returns its path.
std::string write_file(const std::string& name, const std::string& text);
std::string read_file(const std::string& path);

// Lets the window handle everything pending (and the queued messages).
void pump();
// Sends a press of `button` (GDK_2BUTTON_PRESS for a double click) at
// (x, y) of `window` to `widget`, as the X server would, and lets the
// window handle it.
void send_button(GtkWidget* widget, GdkWindow* window, double x, double y, guint button,
                 GdkEventType type);
// Runs the main loop until `done` holds or `seconds` pass; false on timeout.
bool run_until(const std::function<bool()>& done, double seconds = 30);
// Calls `action` from the main loop as soon as a nested loop (a modal
// dialog) runs it; used to act inside dialogs that block their caller.
void soon(std::function<void()> action, unsigned delay_ms = 20);
// Runs `action` from the main loop once `ready` holds (polled every 20 ms,
// for a minute at most); for acting inside a modal wait.
void when(std::function<bool()> ready, std::function<void()> action);
// Shows the diagram's page in its project's notebook.
void show_graph_page(app::Graph* graph);
// The example opened and calculated, its diagrams drawn (null on failure,
// with the test failed).
app::Project* open_calculated(const std::string& example_name);
// Saves the screen as build/screens/NAME.png.
void screenshot(const std::string& name);
// Saves only the shown window (a dialog, the main window) as
// build/screens/NAME.png.
void screenshot(const std::string& name, GtkWidget* window);

// The widget named `name` (gtk_widget_set_name) inside `root`, or null.
GtkWidget* find_widget(GtkWidget* root, const std::string& name);
// The shown top-level window with this title, or null.
GtkWidget* shown_window(const std::string& title);

// Pixels of a spin button's value that its text area cuts off (0 when the
// value shows whole, or for any other widget).
int spin_text_cut(GtkWidget* widget);
// What a user sees of a window or dialog: it is shown and mapped on the
// screen and at least min_width x min_height pixels large, and every widget
// named in `names` is in it, visible, mapped and given room (at least
// 2 x 2 pixels), a spin button with its value whole. Checks only; shows
// nothing.
::testing::AssertionResult user_sees(GtkWidget* window, const std::vector<std::string>& names,
                                     int min_width = 0, int min_height = 0);
// The same for every widget given a name in the window (on a notebook's
// current page only): what a test can find by name, the user sees.
::testing::AssertionResult user_sees_named(GtkWidget* window);
// Every label and entry shown in the window has the room its text needs
// (the failure lists those cut: "label 'Pressure' needs 60 has 41").
::testing::AssertionResult no_text_cut(GtkWidget* window);
// A message box shows its whole text, and lies on the screen.
::testing::AssertionResult message_reads_whole(GtkDialog* box);
// The size of a shown window on the screen (0 x 0 when not shown).
std::pair<int, int> window_size(GtkWidget* window);

// The tab text of a project.
std::string tab_of(const app::Project* project);
// Sensitivity of the action at a UI path and of the widget shown there.
bool action_sensitive(const char* path);
bool widget_sensitive(const char* path);

// Every test starts with the start page and an answerer that records each
// message and answers Cancel, and chooses nothing; it ends with every
// project closed unasked.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Replies given to message boxes, in turn (Cancel when used up).
    void answer_messages(std::vector<app::gui::Reply> replies);
    // Answers to file choosers, in turn (none when used up); the requests
    // are kept.
    void answer_choosers(std::vector<std::string> paths);
    std::vector<app::gui::MessageRequest> messages() { return app::gui::take_shown_messages(); }
    std::vector<app::gui::ChooserRequest> chooser_requests;
    // Answers to the program's own modal dialogs, in turn: each gets the
    // dialog (to fill its widgets) and returns the response. When used up,
    // "Create New Process" is answered OK and every other dialog Cancel.
    void answer_dialogs(std::vector<std::function<int(GtkDialog*)>> answers);
    // Titles of the dialogs answered, in turn.
    std::vector<std::string> dialog_titles;
    // The toolkit's own choosers and message boxes, waiting for the test
    // as for a user (off: the answerers again).
    void meet_real_dialogs(bool on);

private:
    std::vector<app::gui::Reply> replies_;
    std::vector<std::string> paths_;
    std::vector<std::function<int(GtkDialog*)>> dialog_answers_;
    void install();
};

}  // namespace guitest
