// Property diagram pages: the page of a diagram (toolbar, drawing area,
// read-out frame), its off-screen picture and backup copy, and the
// diagram's output to a printer, a PDF file or a PNG image.
#pragma once

#include "app/core/model/records.h"

#include <gtk/gtk.h>

#include <string>

namespace app::gui {

// Builds the diagram page into the Graph's page box (made by
// add_graph_tab) and makes the Graph the project's current graph.
void create_plot_graph(Project* project, Graph* graph);

// Gives every diagram of a project read from a file its page; the
// flowsheet's page stays current.
void show_diagram_pages(Project* project);

// One full drawing of a diagram into its off-screen picture, shown on the
// next expose, then copied into the backup. Nothing while a calculation
// works on the records, or before the page has a size; the drawing then
// follows when it can.
void redraw_graph(Graph* graph);

// Paints the backup copy over the picture (erasing rubber-band drawings)
// and queues the whole area for drawing.
void restore_backup(Graph* graph);

// Writes the read-out entries of a diagram's page (texts in the default
// units, whose symbols the labels beside them then show), and in the
// read-out's title why the fluid has no transport values (none when
// `transport` is empty).
void set_readout(const Graph* graph, const std::string& T, const std::string& p,
                 const std::string& h, const std::string& s, const std::string& rho,
                 const std::string& phase, const std::string& transport = "");
// After a change of default units: the read-out's unit labels show the
// new defaults, and an entry whose unit changed is emptied (its number was
// in the old unit).
void relabel_readout(const Graph* graph);
// The unit shown beside read-out entry `entry` (0 T, 1 s, 2 rho, 3 p, 4 h);
// "" when the page has none.
std::string readout_unit(const Graph* graph, int entry);
// The text of read-out entry `entry` (0 T, 1 s, 2 rho, 3 p, 4 h, 5 the
// phase, 6 why the fluid has no transport values, from the title); "" when
// the page has none.
std::string readout_text(const Graph* graph, int entry);

// The off-screen picture and the backup of a diagram's page (null when the
// page has none).
cairo_surface_t* graph_picture(const Graph* graph);
cairo_surface_t* graph_backup(const Graph* graph);

// The isoline progress window of the diagrams: installed once at start-up.
void install_isoline_window();

// Prints the current graph of the current project: with the print dialog,
// or (export_file given) straight into that PDF file. Keeps the print
// settings of an accepted job in the settings file. A failure is shown to
// the user; false then.
bool print_current_graph(GtkPrintOperationAction action, const std::string& export_file = "");

// Saves the current graph as a PNG image at the path (".png" appended when
// the name does not contain it): a diagram at its size on screen with
// lines twice as wide, the flowsheet at its sheet size times its zoom. A
// failure is shown to the user; false then.
bool save_current_graph_png(const std::string& chosen_name);

// The file name of an image: the name with ".png" appended unless it
// holds ".png" anywhere.
std::string png_file_name(const std::string& chosen_name);

}  // namespace app::gui
