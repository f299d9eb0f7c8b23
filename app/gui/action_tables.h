// The action tables and the UI definition text of the window.
#pragma once

#include <gtk/gtk.h>

namespace app::gui {

extern const GtkActionEntry ActionsList[];
extern const int N_ACTIONS;
extern const GtkToggleActionEntry toggleActions[];
extern const int N_TOGGLE_ACTIONS;
// Menu bar, toolbars and pop-ups as views of the actions.
extern const char* const UI_DEFINITION;

// Stock icons of the program, with the part-picture slot of each (-1 none)
// and the size of its picture.
struct StockIconRow {
    const char* name;
    int part_slot;
    int size;
};
extern const StockIconRow stock_icons[];
extern const int N_STOCK_ICONS;

}  // namespace app::gui
