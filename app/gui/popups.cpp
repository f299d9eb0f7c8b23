// Pop-up menus that are not in the UI definition: the fluids by group, the
// choices of each option, the units of each quantity.
#include "app/core/model/init.h"
#include "app/core/model/units.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"

namespace app::gui {
namespace {

GtkWidget* append_item(GtkWidget* menu, const char* label, GCallback handler, int index) {
    GtkWidget* item = gtk_menu_item_new_with_label(label);
    g_signal_connect(item, "activate", handler, GINT_TO_POINTER(index));
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
    gtk_widget_show(item);
    return item;
}

GtkWidget* option_menu(const OptionDef& option) {
    GtkWidget* menu = gtk_menu_new();
    for (int c = 0; c < option.n_choices; ++c) {
        const char* text = option.choices[static_cast<std::size_t>(c)];
        if (text == nullptr || *text == '\0') break;
        append_item(menu, text, G_CALLBACK(select_option), c);
    }
    return menu;
}

}  // namespace

void build_fluid_popup() {
    ui.fluidpopup = gtk_menu_new();
    for (std::size_t g = 0; g < ui.fluidsub.size(); ++g) {
        GtkWidget* item = gtk_menu_item_new_with_label(FLUID_TYPE_NAMES[g]);
        ui.fluidsub[g] = gtk_menu_new();
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(item), ui.fluidsub[g]);
        gtk_menu_shell_append(GTK_MENU_SHELL(ui.fluidpopup), item);
        gtk_widget_show(item);
    }
    GtkWidget* create = gtk_menu_item_new_with_label("Create New Fluid");
    g_signal_connect(create, "activate", G_CALLBACK(create_fluid), nullptr);
    gtk_menu_shell_append(GTK_MENU_SHELL(ui.fluidsub[FG_USER]), create);
    gtk_widget_show(create);
    for (int i = 0; i < NUM_BUILTIN_FLUIDS && i < az_fluids(); ++i) {
        Fluid* fluid = fluids[i];
        if (fluid == nullptr) continue;
        const std::size_t group = static_cast<std::size_t>(fluid->group) < ui.fluidsub.size()
                                      ? static_cast<std::size_t>(fluid->group)
                                      : static_cast<std::size_t>(FG_USER);
        GtkWidget* item =
            append_item(ui.fluidsub[group], fluid->name.c_str(), G_CALLBACK(select_fluid), i);
        gtk_widget_set_sensitive(item, fluid->available != 0);
    }
}

void add_fluid_to_popup(Fluid& fluid) {
    if (ui.fluidsub[FG_USER] == nullptr) return;
    // A record read from a file is offered before its reader appends it: it
    // takes the next place of `fluids`.
    const int index = fluids.index_of(&fluid);
    append_item(ui.fluidsub[FG_USER], fluid.name.c_str(), G_CALLBACK(select_fluid),
                index >= 0 ? index : az_fluids());
}

void build_option_popups() {
    for (std::size_t r = 0; r < ui.popup_options.size(); ++r)
        ui.popup_options[r] = option_menu(part_input_options[r]);
    ui.popup_interface_option = option_menu(interface_options[IOPT_CALCULATION_MODE]);
}

void build_unit_popups() {
    for (int q = 0; q < NUM_QUANTITIES; ++q) {
        GtkWidget* menu = gtk_menu_new();
        for (int u = 0; u < unit_count(q); ++u)
            append_item(menu, unit_symbol(q, u), G_CALLBACK(select_unit), u);
        ui.unit_popups[static_cast<std::size_t>(q)] = menu;
    }
}

}  // namespace app::gui
