// Editing a process's structure and the part, inlet, process and
// interface dialogs: their entry points. Until the dialogs are built, Add
// Process adds a default process (an Inlet feeding an Outlet, dry ISO air
// at 288.15 K and 101.325 kPa) and the other commands say that they are
// not available yet.
#include "app/core/create_delete.h"
#include "app/core/window_logic.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"

namespace app::gui {

void insert_process(GtkAction*, gpointer) {
    Project* p = current_project;
    if (p == nullptr || calculation_running()) return;
    if (p->az_processes >= MAX_PROCESSES) {
        show_error("A project holds at most " + std::to_string(MAX_PROCESSES) + " processes.");
        return;
    }
    Process* process = create_process(0);
    process->name = "Process " + std::to_string(p->az_processes + 1);
    if (append_process(*p, process) < 0) {
        free_process(process);
        return;
    }
    p->current_process = p->az_processes - 1;
    p->current_part = 0;
    set_action_sensitive("ui/MenuBar/MenuGraphics/CreateGraphAction", true);
    set_project_changed_true();
    check_calculability(p);
    update_buttons(p);
    update_graphs(p);
}

void insert_compressor(GtkAction*, gpointer) { not_available("Insert Compressor"); }
void insert_pump(GtkAction*, gpointer) { not_available("Insert Pump"); }
void insert_turbine(GtkAction*, gpointer) { not_available("Insert Turbine"); }
void insert_combustor(GtkAction*, gpointer) { not_available("Insert Combustor"); }
void insert_combustoroxy(GtkAction*, gpointer) {
    not_available("Insert Oxygen Injection Combustor");
}
void insert_waterseparator(GtkAction*, gpointer) { not_available("Insert Water Separator"); }
void insert_condenser(GtkAction*, gpointer) { not_available("Insert Condenser"); }
void insert_heatexchanger(GtkAction*, gpointer) { not_available("Insert Heat Exchanger"); }
void insert_pressureloss(GtkAction*, gpointer) { not_available("Insert Pressure Loss Element"); }
void insert_splitter(GtkAction*, gpointer) { not_available("Insert Splitter"); }
void insert_mixer(GtkAction*, gpointer) { not_available("Insert Mixer"); }
void insert_splitter_mixer(GtkAction*, gpointer) { not_available("Insert Process branch"); }
void connect_mixer_to_outlet_callback(GtkAction*, gpointer) { not_available("Connect to Outlet"); }
void create_interface_from_graph(GtkAction*, gpointer) { not_available("Create Interface"); }
void createinterface_from_tree(GtkAction*, gpointer) { not_available("Create Interface"); }
void interfacedialogcallback(GtkAction*, gpointer) { not_available("Show Interface Details"); }
void partdialogcallback(GtkAction*, gpointer) { not_available("Show Part Details"); }
void swapparts(GtkAction*, gpointer) { not_available("Swap Parts"); }

}  // namespace app::gui
