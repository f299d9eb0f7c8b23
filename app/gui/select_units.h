// The Select Units dialog (tests look at its widgets).
#pragma once

#include "app/core/model/records.h"

#include <gtk/gtk.h>

#include <array>

namespace app::gui {

struct UnitsDialog {
    GtkWidget* dialog = nullptr;
    std::array<GtkWidget*, NUM_QUANTITIES> box{};           // one combo box per quantity
    std::array<GtkWidget*, NUM_QUANTITIES> apply_button{};  // null for single-unit quantities
    bool changed = false;                                   // a combo box was changed
};

// The open dialog, or null.
UnitsDialog* units_dialog();

}  // namespace app::gui
