// The action tables and the UI definition: every command of the window as
// a named action, and where menus, toolbars and pop-ups show it.
#include "app/gui/action_tables.h"

#include "app/gui/gui.h"
#include "app/gui/handlers.h"

namespace app::gui {

#define H(f) G_CALLBACK(f)

// Name, stock icon, label, accelerator, tooltip, handler. A null label is
// the stock item's own label; accelerators are the stock items' own, and
// F5 for Calculate.
const GtkActionEntry ActionsList[] = {
    {"MenuFile", nullptr, "_File", nullptr, nullptr, nullptr},
    {"QuitAction", GTK_STOCK_QUIT, nullptr, nullptr, "Quit the program", H(on_quit_activate)},
    {"NewAction", GTK_STOCK_NEW, nullptr, nullptr, "Create a new project", H(on_new_activate)},
    {"OpenAction", GTK_STOCK_OPEN, nullptr, nullptr, "Open existing project from file",
     H(on_open_activate)},
    {"OpenExampleAction", nullptr, "Open Example", nullptr, "Open example project",
     H(on_open_example_activate)},
    {"CloseAction", GTK_STOCK_CLOSE, nullptr, nullptr, "Close current project",
     H(on_close_activate)},
    {"CalculateAction", "My_Calculate", "Calculate", "F5", "Calculate project", H(calculate)},
    {"SaveAction", GTK_STOCK_SAVE, nullptr, nullptr, "Save current project", H(on_save_activate)},
    {"SaveAsAction", GTK_STOCK_SAVE_AS, nullptr, nullptr, "Save and rename current project",
     H(on_save_as_activate)},
    {"PropertyTableAction", nullptr, "Property Table", nullptr,
     "Caculate and export fluid properties", H(on_properties_table)},
    {"MenuEdit", nullptr, "_Edit", nullptr, nullptr, nullptr},
    {"MenuFluid", nullptr, "_Fluids", nullptr, nullptr, nullptr},
    {"CreateFluidAction", nullptr, "Create Fluid ", nullptr, "Create new fluid mixture",
     H(create_fluid)},
    {"ExportFluidAction", nullptr, "Export Fluid ", nullptr, "Export fluid definition to file",
     H(export_fluid)},
    {"ImportFluidAction", nullptr, "Import Fluid ", nullptr, "Import fluid definition from file",
     H(import_fluid)},
    {"EditFluidAction", nullptr, "Edit fluid ", nullptr, "Edit fluid mixture",
     H(select_fluid_to_edit_dialog)},
    {"RenameAction", nullptr, "Rename", nullptr, "Rename", H(on_rename_activate)},
    {"CutAction", GTK_STOCK_CUT, nullptr, nullptr, "Cut the selected part", H(on_cut_activate)},
    {"CopyAction", GTK_STOCK_COPY, nullptr, nullptr, "Copy the selected part", H(on_copy_activate)},
    {"PasteAction", GTK_STOCK_PASTE, nullptr, nullptr,
     "Insert a copy of the part copied last after the current part", H(on_paste_activate)},
    {"DeleteAction", GTK_STOCK_DELETE, nullptr, nullptr, "Delete selected objects",
     H(on_delete_activate)},
    {"MoveUpAction", GTK_STOCK_GO_UP, "Move up", nullptr, nullptr, H(on_move_up)},
    {"MoveDownAction", GTK_STOCK_GO_DOWN, "Move down", nullptr, nullptr, H(on_move_down)},
    {"MoveLeftAction", GTK_STOCK_GO_BACK, "Move left", nullptr, nullptr, H(on_move_up)},
    {"MoveRightAction", GTK_STOCK_GO_FORWARD, "Move right", nullptr, nullptr, H(on_move_down)},
    {"InsertProcess", GTK_STOCK_NEW, "Add Process", nullptr, "Add a new process to the project",
     H(insert_process)},
    {"InsertCompressor", "My_compressor", "Insert Compressor", nullptr,
     "Insert a new compressor after the current part ", H(insert_compressor)},
    {"InsertPump", "My_pump", "Insert Pump", nullptr, "Insert a new pump after the current part",
     H(insert_pump)},
    {"InsertTurbine", "My_turbine", "Insert Turbine", nullptr,
     "Insert a new turbine after the current part", H(insert_turbine)},
    {"InsertCombustor", "My_combustor", "Insert Combustor", nullptr,
     "Insert a new combustor after the current part ", H(insert_combustor)},
    {"InsertCombustoroxy", "My_combustoroxy", "Insert Oxygen Injection Combustor", nullptr,
     "Insert a new combustor with oxygen injection after the current part ",
     H(insert_combustoroxy)},
    {"InsertWaterseparator", "My_waterseparator", "Insert Water Separator", nullptr,
     "Insert a new water separator after the current part ", H(insert_waterseparator)},
    {"InsertCondenser", "My_condenser", "Insert Condenser", nullptr,
     "Insert a new condenser  after the current part", H(insert_condenser)},
    {"InsertHeatExchanger", "My_heatexchanger", "Insert Heat Exchanger", nullptr,
     "Insert a new heat exchanger  after the current part", H(insert_heatexchanger)},
    {"InsertPressureLoss", "My_pressureloss", "Insert Pressure Loss Element", nullptr,
     "Insert a new pressure loss element after the current part", H(insert_pressureloss)},
    {"InsertSplitter", "My_splitter", "Insert Splitter", nullptr, "Insert a new splitter",
     H(insert_splitter)},
    {"InsertMixer", "My_mixer", "Insert Mixer", nullptr, "Insert a new mixer", H(insert_mixer)},
    {"InsertSplitMix", "My_split_mix", "Insert Process branch", nullptr,
     "Insert a new splitter and mixer pair to create a process branch", H(insert_splitter_mixer)},
    {"ExpandAction", nullptr, "Expand", nullptr, "Expand the tree below this point", H(expandthis)},
    {"ExpandAllAction", nullptr, "Expand all", nullptr,
     "Expand all parts of the tree below this point", H(expandall)},
    {"CollapseAction", nullptr, "Collapse", nullptr, "Collapse the tree to this point",
     H(collapsethis)},
    {"ConnectMixerToOutlet", nullptr, "Connect to Outlet", nullptr, "Connect mixer to outlet",
     H(connect_mixer_to_outlet_callback)},
    {"CreateInterfaceAction", "My_interface", "Create Interface", nullptr,
     "Create a new interface between two heat exchangers", H(create_interface_from_graph)},
    {"CreateInterfaceFromTreeAction", "My_interface", "Create Interface", nullptr,
     "Create a new interface between two heat exchangers", H(createinterface_from_tree)},
    {"InterfaceDialogAction", "My_interface", "Show Interface Details", nullptr,
     "Show details dialog for this interface", H(interfacedialogcallback)},
    {"PartDialogAction", nullptr, "Show Part Details", nullptr, "Show details dialog for this part",
     H(partdialogcallback)},
    {"SwapPartsAction", nullptr, "Swap Parts", nullptr, "Exchange hot side and cold side",
     H(swapparts)},
    {"MenuPreferences", nullptr, "_Preferences", nullptr, nullptr, nullptr},
    {"DefaultUnitsAction", nullptr, "Select Default Units", nullptr, nullptr, H(select_units)},
    {"SetThemeAction", nullptr, "Set Theme", nullptr, "Change window decoration, font size, etc.",
     H(change_guiappearance)},
    {"PageSetupAction", GTK_STOCK_PAGE_SETUP, nullptr, nullptr, nullptr, H(changepagesetup)},
    {"MenuGraphics", nullptr, "_Graphics", nullptr, nullptr, nullptr},
    {"GraphPopupMenu", nullptr, "_Graph", nullptr, nullptr, nullptr},
    {"CreateGraphAction", "My_diagram", "Create Graph", nullptr,
     "Create new diagram for calculation results", H(create_new_graph)},
    {"CreateQtGraphAction", "My_diagramqt", "Create QT Diagram", nullptr,
     "Create a qt diagram for the heat exchangers in the selected interface\n Interface must be "
     "finished calculating",
     H(create_qt_graph)},
    {"ShowGraphAction", nullptr, "Show Graph ", nullptr, nullptr, H(show_graph)},
    {"ZoomOutAction", "My_zoomreset", "Zoom Out", nullptr, "Zoom out to maximal range",
     H(maxrange)},
    {"ZoomDefaultAction", "My_zoomdefault", "Zoom to Default", nullptr,
     "Reset zoom to default values", H(zoomdefault)},
    {"ZoomToPlotAction", "My_zoom2process", "Zoom to Plots", nullptr,
     "Zoom out to show all processes in the graph", H(zoomtoplot)},
    {"ConfigAxisAction", "My_configaxes", "Configure Axes", nullptr, "Configure axes settings",
     H(configureaxis)},
    {"ConfigIsolinesAction", "My_configiso", "Configure Isolines", nullptr,
     "Configure isolines positions and settings", H(modify_isolines)},
    {"ConfigProcessAction", "My_configprocess", "Configure Process", nullptr,
     "Configure process curve ", H(curve_settings_callback)},
    {"ConfigAxisAutoAction", "My_configaxesauto", "Configure Axis Ticks Automatically", nullptr,
     "Configure axis ticks automatically", H(auto_axis)},
    {"PrintGraphAction", GTK_STOCK_PRINT, nullptr, nullptr, "Print current graph", H(do_print)},
    {"SavePngAction", nullptr, "Create Screenshot", nullptr,
     "Create screenshot of currentent graph", H(do_png)},
    {"HelpMenu", nullptr, "_Help", nullptr, nullptr, nullptr},
    {"AboutAction", GTK_STOCK_ABOUT, nullptr, nullptr, nullptr, H(on_about_activate)},
    {"ManualAction", "My_manual_book", "Open User Manual", nullptr, nullptr, H(show_manual)},
    {"ZoomStartAction", "My_zoom", "Zoom in", nullptr,
     "Zoom in by left-clicking in the graph. Draw a rectangle over the requested area and "
     "left-click again.",
     H(start_zooming_callback)},
    {"ZoomInSymbol", GTK_STOCK_ZOOM_IN, "Zoom in", nullptr, "Symbol graph zoom in",
     H(symbol_zoom_in)},
    {"ZoomOutSymbol", GTK_STOCK_ZOOM_OUT, "Zoom out", nullptr, nullptr, H(symbol_zoom_out)},
    {"ZoomResetSymbol", GTK_STOCK_ZOOM_100, "Zoom reset", nullptr, "Symbol graph zoom reset",
     H(symbol_zoom_reset)},
};
const int N_ACTIONS = G_N_ELEMENTS(ActionsList);

const GtkToggleActionEntry toggleActions[] = {
    {"ShowIsoWetnessAction", "My_showisowetness", "Show Wetness ", nullptr,
     "Toggle wetness display in current graph", H(toggle_wetness), TRUE},
    {"ShowIsoTemperatureAction", "My_showisotemperature", "Show Isotherms", nullptr,
     "Toggle isotherm display in current graph ", H(toggle_temperature), TRUE},
    {"ShowIsoPressureAction", "My_showisopressure", "Show Isobars", nullptr,
     "Toggle isobar display in current graph", H(toggle_pressure), TRUE},
    {"ShowIsoDensityAction", "My_showisodensity", "Show Isochors", nullptr,
     "Toggle isochor display in current graph", H(toggle_density), TRUE},
    {"OverviewTpToggleAction", nullptr, "Show Results in Overview: T,p ", nullptr, nullptr,
     H(overview_tp_toggle), TRUE},
    {"OverviewCross1ToggleAction", nullptr, "Show Results in Overview: T,p,h,m", nullptr, nullptr,
     H(overview_cross1_toggle), TRUE},
    {"OverviewCross2ToggleAction", nullptr, "Show Results in Overview: T,p,h,s,rho,m", nullptr,
     nullptr, H(overview_cross2_toggle), TRUE},
    {"OverviewNameToggleAction", nullptr, "Show Part Names in Overview", nullptr, nullptr,
     H(overview_name_toggle), TRUE},
    {"OverviewInputsToggleAction", nullptr, "Show Input Values in Overview", nullptr, nullptr,
     H(overview_input_toggle), TRUE},
    {"ZoomInAction", "My_zoom", "Zoom in", nullptr,
     "Zoom in by left-clicking in the graph. Draw a rectangle over the requested area and "
     "left-click again.",
     H(toggle_zooming), FALSE},
};
const int N_TOGGLE_ACTIONS = G_N_ELEMENTS(toggleActions);

#undef H

const char* const UI_DEFINITION = R"(<ui>
  <menubar name='MenuBar'>
    <menu action='MenuFile'>
      <menuitem action='NewAction'/>
      <menuitem action='OpenAction'/>
      <menuitem action='OpenExampleAction'/>
      <separator/>
      <menuitem action='CloseAction'/>
      <menuitem action='SaveAction'/>
      <menuitem action='SaveAsAction'/>
      <separator/>
      <menuitem action='CalculateAction'/>
      <separator/>
      <menuitem action='QuitAction'/>
    </menu>
    <menu action='MenuEdit'>
      <menuitem action='CutAction'/>
      <menuitem action='CopyAction'/>
      <menuitem action='PasteAction'/>
      <separator/>
      <menuitem action='DeleteAction'/>
    </menu>
    <menu action='MenuFluid'>
      <menuitem action='CreateFluidAction'/>
      <menuitem action='ImportFluidAction'/>
      <menuitem action='ExportFluidAction'/>
      <menuitem action='EditFluidAction'/>
      <separator/>
      <menuitem action='PropertyTableAction'/>
    </menu>
    <menu action='MenuPreferences'>
      <menuitem action='SetThemeAction'/>
      <separator/>
      <menuitem action='DefaultUnitsAction'/>
      <separator/>
      <menuitem action='OverviewTpToggleAction'/>
      <menuitem action='OverviewCross1ToggleAction'/>
      <menuitem action='OverviewCross2ToggleAction'/>
      <menuitem action='OverviewNameToggleAction'/>
      <menuitem action='OverviewInputsToggleAction'/>
    </menu>
    <menu action='MenuGraphics'>
      <menuitem action='CreateGraphAction'/>
      <separator/>
      <menuitem action='PrintGraphAction'/>
      <menuitem action='PageSetupAction'/>
      <menuitem action='SavePngAction'/>
      <separator/>
      <menuitem action='ZoomStartAction'/>
      <menuitem action='ConfigAxisAction'/>
      <menuitem action='ConfigAxisAutoAction'/>
      <menuitem action='ConfigIsolinesAction'/>
      <menuitem action='ConfigProcessAction'/>
      <separator/>
      <menuitem action='ShowIsoPressureAction'/>
      <menuitem action='ShowIsoTemperatureAction'/>
      <menuitem action='ShowIsoDensityAction'/>
      <menuitem action='ShowIsoWetnessAction'/>
    </menu>
    <menu action='HelpMenu'>
      <menuitem action='AboutAction'/>
      <menuitem action='ManualAction'/>
    </menu>
  </menubar>
  <toolbar name='GraphDummy'>
    <toolitem action='ZoomInAction'/>
  </toolbar>
  <toolbar name='ToolBar'>
    <toolitem action='NewAction'/>
    <toolitem action='OpenAction'/>
    <toolitem action='SaveAction'/>
    <toolitem action='SaveAsAction'/>
    <separator/>
    <toolitem action='PrintGraphAction'/>
    <separator/>
    <toolitem action='CalculateAction'/>
    <toolitem action='CreateGraphAction'/>
    <toolitem action='CreateQtGraphAction'/>
    <separator/>
    <toolitem action='DeleteAction'/>
    <separator/>
    <toolitem action='QuitAction'/>
  </toolbar>
  <popup action='GraphPopupMenu'>
    <menuitem action='ZoomStartAction'/>
    <menuitem action='ZoomOutAction'/>
    <menuitem action='ZoomDefaultAction'/>
    <menuitem action='ZoomToPlotAction'/>
    <separator/>
    <menuitem action='ConfigAxisAction'/>
    <menuitem action='ConfigAxisAutoAction'/>
    <menuitem action='ConfigIsolinesAction'/>
    <menuitem action='ConfigProcessAction'/>
    <separator/>
    <menuitem action='ShowIsoPressureAction'/>
    <menuitem action='ShowIsoTemperatureAction'/>
    <menuitem action='ShowIsoDensityAction'/>
    <menuitem action='ShowIsoWetnessAction'/>
  </popup>
  <popup name='Popup_on_multiple'>
    <menuitem action='CreateInterfaceFromTreeAction'/>
    <separator/>
    <menuitem action='DeleteAction'/>
    <separator/>
    <menuitem action='ExpandAction'/>
    <menuitem action='ExpandAllAction'/>
    <menuitem action='CollapseAction'/>
  </popup>
  <popup name='Popup_expand_only'>
    <menuitem action='ExpandAction'/>
    <menuitem action='ExpandAllAction'/>
    <menuitem action='CollapseAction'/>
  </popup>
  <popup name='Popup_on_part_short'>
    <menuitem action='InsertCompressor'/>
    <menuitem action='InsertPump'/>
    <menuitem action='InsertTurbine'/>
    <menuitem action='InsertHeatExchanger'/>
    <menuitem action='InsertCondenser'/>
    <menuitem action='InsertCombustor'/>
    <menuitem action='InsertCombustoroxy'/>
    <menuitem action='InsertWaterseparator'/>
    <menuitem action='InsertPressureLoss'/>
    <menuitem action='InsertSplitter'/>
    <menuitem action='InsertMixer'/>
    <menuitem action='InsertSplitMix'/>
    <separator/>
    <menuitem action='ExpandAction'/>
    <menuitem action='ExpandAllAction'/>
    <menuitem action='CollapseAction'/>
  </popup>
  <popup name='Popup_on_part'>
    <menuitem action='PartDialogAction'/>
    <separator/>
    <menuitem action='InsertCompressor'/>
    <menuitem action='InsertPump'/>
    <menuitem action='InsertTurbine'/>
    <menuitem action='InsertCombustor'/>
    <menuitem action='InsertCombustoroxy'/>
    <menuitem action='InsertCondenser'/>
    <menuitem action='InsertWaterseparator'/>
    <menuitem action='InsertHeatExchanger'/>
    <menuitem action='InsertPressureLoss'/>
    <menuitem action='InsertSplitter'/>
    <menuitem action='InsertMixer'/>
    <menuitem action='InsertSplitMix'/>
    <separator/>
    <menuitem action='CutAction'/>
    <menuitem action='CopyAction'/>
    <menuitem action='PasteAction'/>
    <separator/>
    <menuitem action='RenameAction'/>
    <menuitem action='DeleteAction'/>
    <separator/>
    <menuitem action='MoveUpAction'/>
    <menuitem action='MoveDownAction'/>
    <separator/>
    <menuitem action='ExpandAction'/>
    <menuitem action='ExpandAllAction'/>
    <menuitem action='CollapseAction'/>
  </popup>
  <popup name='Popup_on_process'>
    <menuitem action='InsertProcess'/>
    <separator/>
    <menuitem action='DeleteAction'/>
    <menuitem action='RenameAction'/>
    <separator/>
    <menuitem action='ExpandAction'/>
    <menuitem action='ExpandAllAction'/>
    <menuitem action='CollapseAction'/>
  </popup>
  <popup name='Popup_on_process_short'>
    <menuitem action='InsertProcess'/>
    <separator/>
    <menuitem action='ExpandAction'/>
    <menuitem action='ExpandAllAction'/>
    <menuitem action='CollapseAction'/>
  </popup>
  <popup name='Popup_on_interface_part'>
    <menuitem action='SwapPartsAction'/>
  </popup>
  <popup name='Popup_on_interface'>
    <separator/>
    <menuitem action='InterfaceDialogAction'/>
    <menuitem action='CreateQtGraphAction'/>
    <menuitem action='SwapPartsAction'/>
    <separator/>
    <menuitem action='ExpandAction'/>
    <menuitem action='ExpandAllAction'/>
    <menuitem action='CollapseAction'/>
    <separator/>
    <menuitem action='RenameAction'/>
    <menuitem action='DeleteAction'/>
  </popup>
  <popup name='Popup_on_graphs'>
    <menuitem action='CreateGraphAction'/>
  </popup>
  <popup name='Popup_on_graph'>
    <menuitem action='ShowGraphAction'/>
    <menuitem action='CreateGraphAction'/>
    <menuitem action='DeleteAction'/>
    <menuitem action='RenameAction'/>
  </popup>
  <popup name='Popup_on_part_in_graph'>
    <menuitem action='PartDialogAction'/>
    <separator/>
    <menuitem action='InsertCompressor'/>
    <menuitem action='InsertPump'/>
    <menuitem action='InsertTurbine'/>
    <menuitem action='InsertCombustor'/>
    <menuitem action='InsertCombustoroxy'/>
    <menuitem action='InsertCondenser'/>
    <menuitem action='InsertHeatExchanger'/>
    <menuitem action='InsertPressureLoss'/>
    <menuitem action='InsertSplitter'/>
    <menuitem action='InsertMixer'/>
    <menuitem action='InsertSplitMix'/>
    <separator/>
    <menuitem action='ConnectMixerToOutlet'/>
    <menuitem action='CreateInterfaceAction'/>
    <separator/>
    <menuitem action='CutAction'/>
    <menuitem action='CopyAction'/>
    <menuitem action='PasteAction'/>
    <menuitem action='DeleteAction'/>
    <separator/>
    <menuitem action='MoveRightAction'/>
    <menuitem action='MoveLeftAction'/>
    <separator/>
    <menuitem action='ZoomInSymbol'/>
    <menuitem action='ZoomOutSymbol'/>
    <menuitem action='ZoomResetSymbol'/>
  </popup>
  <popup name='Popup_on_nothing_in_graph'>
    <menuitem action='InsertProcess'/>
    <separator/>
    <menuitem action='ZoomInSymbol'/>
    <menuitem action='ZoomOutSymbol'/>
    <menuitem action='ZoomResetSymbol'/>
  </popup>
  <popup name='Popup_on_interface_in_graph'>
    <separator/>
    <menuitem action='InterfaceDialogAction'/>
    <menuitem action='CreateQtGraphAction'/>
    <menuitem action='SwapPartsAction'/>
    <separator/>
    <menuitem action='ZoomInSymbol'/>
    <menuitem action='ZoomOutSymbol'/>
    <menuitem action='ZoomResetSymbol'/>
    <separator/>
    <menuitem action='RenameAction'/>
    <menuitem action='DeleteAction'/>
  </popup>
</ui>)";

}  // namespace app::gui
