// The calculation of the current project: one worker thread runs the
// solver while the modal "Calculating" dialog shows its progress.
#pragma once

#include <gtk/gtk.h>

#include <vector>

namespace app::gui {

// The widgets of the open calculation dialog (tests look at them).
struct CalcDialog {
    GtkWidget* dialog = nullptr;
    GtkWidget* ok = nullptr;
    GtkWidget* cancel = nullptr;
    std::vector<GtkWidget*> process_frames;
    std::vector<GtkWidget*> bars;  // one per process shown
    std::vector<GtkWidget*> interface_labels;
    GtkTextBuffer* status_buffer = nullptr;
};

// The open calculation dialog, or null.
const CalcDialog* calc_dialog();
// True once the worker of the open dialog has ended and been joined.
bool calc_worker_joined();

// Response of the dialog when the worker has ended after a Cancel.
inline constexpr int RESPONSE_ENDED_AFTER_CANCEL = 1;

}  // namespace app::gui
