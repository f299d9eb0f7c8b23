// The ways a user reaches the window's commands, for the window tests: a
// menu item chosen, a key pressed, a press on the flowsheet's symbols. Each
// checks first that the user could do it (the item is there, visible and
// sensitive; the sheet is on the screen), so that a test never reaches a
// command by a road the user does not have.
#pragma once

#include "gui_support.h"

#include <gdk/gdkkeysyms.h>

#include <functional>
#include <string>

namespace guitest {

// Chooses the menu or pop-up item at the UI path (its "activate", as a
// click on it does); fails the test when the item is missing, hidden or
// insensitive, and lets the window handle what follows.
void choose(const std::string& path);
// Clicks the button: it must be on the screen and sensitive.
void click(GtkWidget* button);
// A mouse press (button 1) in the middle of the widget, which must be on
// the screen: for widgets that act on the press itself.
void press_widget(GtkWidget* widget);
// Chooses the item labelled `label` in the shown pop-up menu (or one of
// its submenus), as a click on it does; the menu closes.
void pick_in_menu(GtkWidget* menu, const std::string& label);
// Presses the button that opens the fluid menu and chooses the fluid.
void pick_fluid(GtkWidget* fluid_button, const std::string& fluid);
// "Add Process" from the pop-up of the flowsheet's empty space, "Create
// New Process" answered by the user: the name typed, the fluid chosen
// from the fluid menu (when given), OK. Needs a GuiTest's answerer.
using DialogAnswer = std::function<int(GtkDialog*)>;
DialogAnswer new_process_answer(const std::string& name, const std::string& fluid = "");
// The window's close button (the window manager's delete event).
void close_window(GtkWidget* window);
// The calculation's worker has ended and its dialog offers OK (what a
// user waits for before pressing it).
bool calculation_offers_ok();
// Presses the key (with modifiers) in the main window, where its
// accelerators and focus widget get it.
void press_key(guint keyval, guint modifiers = 0);
// Presses the key in the window (a dialog): its focus widget gets it.
void press_key_in(GtkWidget* window, guint keyval, guint modifiers = 0);
// Types into the entry (or spin button) as a user does: it takes the focus
// as a click gives it, Ctrl+A selects its text, the keys of `text` replace
// it and Return ends the input. The entry must be on the screen and
// editable.
void type_into(GtkWidget* entry, const std::string& text);

// A press of `button` (GDK_2BUTTON_PRESS for a double click) at (x, y) of
// the project's unzoomed flowsheet; the sheet must be on the screen.
void press_sheet(app::Project* project, double x, double y, guint button,
                 GdkEventType type = GDK_BUTTON_PRESS);
// A press on the symbol of part `part` of process `process`.
void press_part(app::Project* project, int process, int part, guint button = 1,
                GdkEventType type = GDK_BUTTON_PRESS);
// A press on the symbol of interface `index`.
void press_interface(app::Project* project, int index, guint button = 1,
                     GdkEventType type = GDK_BUTTON_PRESS);
// A click on a part's symbol: it becomes the current part.
inline void select_part(app::Project* project, int process, int part) {
    press_part(project, process, part, 1);
}
// A double click on a part's symbol: its details dialog (the inlet dialog
// for part 0).
inline void open_part(app::Project* project, int process, int part) {
    press_part(project, process, part, 1, GDK_2BUTTON_PRESS);
}
// A double click on an interface's symbol: its details dialog.
inline void open_interface(app::Project* project, int index) {
    press_interface(project, index, 1, GDK_2BUTTON_PRESS);
}

}  // namespace guitest
