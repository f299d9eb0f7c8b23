// Calculate: the worker thread and the "Calculating" dialog.
//
// The worker runs calcProject on the project; the dialog polls the fields
// the worker writes (all atomic) on a timer and shows the worker's texts,
// which reach the GUI thread through the message queue. Cancel asks the
// solver to stop; the dialog stays, its buttons insensitive, until the
// worker has ended and been joined: nothing is freed while it runs, and
// no other close, open, quit or calculation can start meanwhile. A dialog
// destroyed from outside (with the main window, by the window manager or
// at a session end) cancels the calculation: the worker is joined and no
// widget of the dialog is touched again.
#include "app/gui/calculate.h"

#include "app/core/program/progress.h"
#include "app/core/solver/simulator.h"
#include "app/core/structure/structure.h"
#include "app/core/views/window_logic.h"
#include "app/gui/dialog_service.h"
#include "app/gui/gui.h"
#include "app/gui/handlers.h"
#include "app/gui/tree_shared.h"
#include "app/gui/widgets.h"

#include <atomic>
#include <memory>
#include <thread>

namespace app::gui {
namespace {

// Most processes and interfaces the dialog shows one by one.
constexpr int MAX_BARS = 56;
constexpr int MAX_INTERFACE_LABELS = 10;
// Milliseconds between two looks at the worker's progress.
constexpr guint POLL_INTERVAL_MS = 100;

struct CalcRun {
    Project* project = nullptr;
    std::thread worker;
    std::atomic<bool> worker_done{false};
    bool joined = false;
    bool cancel_requested = false;
    bool dialog_gone = false;  // destroyed from outside
    guint poll = 0;
    CalcDialog widgets;
};

std::unique_ptr<CalcRun> run;

// "<b>" + title + value + "</b>", the value escaped for markup.
std::string bold(const char* title, const std::string& value) {
    gchar* text = g_markup_escape_text(value.c_str(), -1);
    std::string out = std::string("<b>") + title + text + "</b>";
    g_free(text);
    return out;
}

GtkWidget* process_frame(CalcRun& r, const Process& process) {
    GtkWidget* frame = my_frame(bold("Process: ", process.name).c_str());
    gtk_container_set_border_width(GTK_CONTAINER(frame), 4);
    GtkWidget* row = gtk_hbox_new(FALSE, 4);
    gtk_box_pack_start(GTK_BOX(row), my_label("Progress: "), FALSE, FALSE, 0);
    GtkWidget* bar = gtk_progress_bar_new();
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(bar), 0.0);
    gtk_box_pack_start(GTK_BOX(row), bar, TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(frame), row);
    r.widgets.process_frames.push_back(frame);
    r.widgets.bars.push_back(bar);
    return frame;
}

GtkWidget* interface_frame(CalcRun& r, const Interface& itf) {
    GtkWidget* frame = my_frame(bold("Interface: ", itf.name).c_str());
    gtk_container_set_border_width(GTK_CONTAINER(frame), 4);
    GtkWidget* row = gtk_hbox_new(FALSE, 4);
    gtk_box_pack_start(GTK_BOX(row), my_label("Status: "), FALSE, FALSE, 0);
    GtkWidget* status = gtk_label_new("pending ...");
    gtk_box_pack_start(GTK_BOX(row), status, FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(frame), row);
    r.widgets.interface_labels.push_back(status);
    return frame;
}

GtkWidget* messages_frame(CalcRun& r) {
    GtkWidget* frame = my_frame("<b>Messages:</b>");
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_NEVER,
                                   GTK_POLICY_AUTOMATIC);
    GtkTextBuffer* buffer = gtk_text_buffer_new(nullptr);
    gtk_text_buffer_create_tag(buffer, "tag_info", "foreground", "black", nullptr);
    gtk_text_buffer_create_tag(buffer, "tag_warning", "foreground", "orange", nullptr);
    gtk_text_buffer_create_tag(buffer, "tag_error", "foreground", "red", nullptr);
    GtkWidget* view = gtk_text_view_new_with_buffer(buffer);
    g_object_unref(buffer);
    gtk_container_set_border_width(GTK_CONTAINER(view), 4);
    gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view), GTK_WRAP_WORD);
    gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(view), FALSE);
    gtk_text_view_set_editable(GTK_TEXT_VIEW(view), FALSE);
    gtk_widget_set_size_request(view, 600, 120);
    gtk_container_add(GTK_CONTAINER(scrolled), view);
    gtk_container_add(GTK_CONTAINER(frame), scrolled);
    r.widgets.status_buffer = buffer;
    set_status_buffer(r.project, buffer, view);
    return frame;
}

void create_calculate_if_window(CalcRun& r) {
    Project& p = *r.project;
    GtkWidget* dialog = gtk_dialog_new_with_buttons(
        "Calculating", GTK_WINDOW(ui.mainwindow),
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), "Cancel",
        GTK_RESPONSE_REJECT, "OK", GTK_RESPONSE_OK, nullptr);
    r.widgets.dialog = dialog;
    r.widgets.cancel = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_REJECT);
    r.widgets.ok = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    gtk_widget_set_sensitive(r.widgets.ok, FALSE);
    GtkWidget* area = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
    gtk_container_set_border_width(GTK_CONTAINER(area), 4);
    GtkWidget* box = gtk_vbox_new(FALSE, 4);
    gtk_box_pack_start(GTK_BOX(area), box, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(box),
                       my_label(bold("Project: ", display_basename(p.filename)).c_str()), FALSE,
                       FALSE, 0);
    int shown = 0;
    for (int i = 0; i < p.az_processes; ++i) {
        const Process* process = p.processes[static_cast<std::size_t>(i)];
        if (process == nullptr) continue;
        if (shown++ == MAX_BARS) {
            const std::string more = std::to_string(p.az_processes - MAX_BARS) +
                                     " further processes are calculated too.";
            gtk_box_pack_start(GTK_BOX(box), my_label(more.c_str()), FALSE, FALSE, 0);
            break;
        }
        gtk_box_pack_start(GTK_BOX(box), process_frame(r, *process), FALSE, FALSE, 0);
    }
    for (int i = 0; i < p.az_interfaces && i < MAX_INTERFACE_LABELS; ++i)
        if (const Interface* itf = p.interfaces[static_cast<std::size_t>(i)])
            gtk_box_pack_start(GTK_BOX(box), interface_frame(r, *itf), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), messages_frame(r), TRUE, TRUE, 0);
    gtk_widget_show_all(dialog);
}

void update_progress(CalcRun& r) {
    const Project& p = *r.project;
    std::size_t bar = 0;
    for (int i = 0; i < p.az_processes && bar < r.widgets.bars.size(); ++i) {
        const Process* process = p.processes[static_cast<std::size_t>(i)];
        if (process == nullptr) continue;
        const double f = process_progress(*process);
        GtkProgressBar* pb = GTK_PROGRESS_BAR(r.widgets.bars[bar++]);
        gtk_progress_bar_set_fraction(pb, f);
        gtk_progress_bar_set_text(pb, progress_text(f).c_str());
    }
    std::size_t label = 0;
    for (int i = 0; i < p.az_interfaces && label < r.widgets.interface_labels.size(); ++i)
        if (const Interface* itf = p.interfaces[static_cast<std::size_t>(i)])
            gtk_label_set_text(GTK_LABEL(r.widgets.interface_labels[label++]),
                               interface_status_text(*itf).c_str());
}

// The worker has ended: join it, deliver its last texts, show the results.
void finish(CalcRun& r) {
    r.worker.join();
    r.joined = true;
    drain_messages();
    if (show_progress != 0) update_progress(r);
    update_graphs(r.project);
    update_buttons(r.project);
    show_results_in_tree(r.project);
    mark_changed(r.project);  // its results are new: Save and Quit know it
    if (r.cancel_requested) {
        gtk_dialog_response(GTK_DIALOG(r.widgets.dialog), RESPONSE_ENDED_AFTER_CANCEL);
        return;
    }
    gtk_widget_set_sensitive(r.widgets.ok, TRUE);
    gtk_widget_set_sensitive(r.widgets.cancel, FALSE);
    gtk_dialog_set_default_response(GTK_DIALOG(r.widgets.dialog), GTK_RESPONSE_OK);
    gtk_widget_grab_focus(r.widgets.ok);
}

gboolean watch_calculation(gpointer data) {
    CalcRun& r = *static_cast<CalcRun*>(data);
    if (show_progress != 0) update_progress(r);
    if (stop_watching != 0 && r.worker_done.load()) {
        r.poll = 0;
        finish(r);
        return FALSE;
    }
    return TRUE;
}

void request_cancel(CalcRun& r) {
    r.project->calc_status = CS_CANCEL;
    r.cancel_requested = true;
    gtk_widget_set_sensitive(r.widgets.cancel, FALSE);
    gtk_widget_set_sensitive(r.widgets.ok, FALSE);
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(r.widgets.status_buffer, &end);
    gtk_text_buffer_insert_with_tags_by_name(
        r.widgets.status_buffer, &end,
        "Cancelling: the calculation stops at the next step of the part it is working on.\n", -1,
        "tag_warning", nullptr);
}

// The dialog destroyed from outside: no more polling, no more texts into
// its view, and the worker asked to stop.
void dialog_destroyed(GtkWidget*, gpointer data) {
    CalcRun& r = *static_cast<CalcRun*>(data);
    r.dialog_gone = true;
    if (r.poll != 0) g_source_remove(r.poll);
    r.poll = 0;
    set_status_buffer(nullptr, nullptr, nullptr);
    if (!r.joined) {
        r.project->calc_status = CS_CANCEL;
        r.cancel_requested = true;
    }
}

// Runs the dialog until it may close: OK after the end, the end of the
// worker after a Cancel, or the dialog's destruction.
void run_dialog(CalcRun& r) {
    while (!r.dialog_gone) {
        const int response = gtk_dialog_run(GTK_DIALOG(r.widgets.dialog));
        if (r.dialog_gone) break;
        if (response == GTK_RESPONSE_OK || response == RESPONSE_ENDED_AFTER_CANCEL) break;
        if (response == GTK_RESPONSE_REJECT || response == GTK_RESPONSE_DELETE_EVENT) {
            if (r.joined) break;  // closed after the end: the results stand
            if (!r.cancel_requested) request_cancel(r);
            continue;
        }
    }
}

void start_worker(CalcRun& r) {
    ++library_busy;
    CalcRun* raw = &r;
    r.worker = std::thread([raw] {
        calcProject(*raw->project);
        --library_busy;
        raw->worker_done.store(true);
    });
}

bool refuse(const Project* p) {
    if (library_busy.load() > 0) {
        show_error(
            "The property library is busy (a diagram's isolines or a property table are being "
            "computed). Calculate again when it has finished.");
        return true;
    }
    const Calculability c = check_calculability_of(p);
    if (!c.calculate) {
        show_error("Project '" + display_basename(p->filename) +
                   "' cannot be calculated: " + c.why + ".");
        return true;
    }
    return false;
}

}  // namespace

bool calculation_running() { return run != nullptr; }
bool calculation_writing() { return run != nullptr && !run->joined; }

const CalcDialog* calc_dialog() { return run != nullptr ? &run->widgets : nullptr; }

bool calc_worker_joined() { return run != nullptr && run->joined; }

void calculate(GtkAction*, gpointer) {
    Project* p = current_project;
    if (run != nullptr || p == nullptr) return;
    finish_tree_edit();
    if (refuse(p)) return;
    run = std::make_unique<CalcRun>();
    CalcRun& r = *run;
    r.project = p;
    stop_watching = 0;
    show_progress = 0;
    p->status_log.clear();
    p->status_log_open = 1;
    p->calc_status = CS_RUNNING;
    drain_messages();  // earlier texts keep their place before the calculation's
    set_message_target(p);
    check_calculability(p);
    create_calculate_if_window(r);
    g_signal_connect(r.widgets.dialog, "destroy", G_CALLBACK(dialog_destroyed), &r);
    start_worker(r);
    r.poll = g_timeout_add(POLL_INTERVAL_MS, watch_calculation, &r);
    run_dialog(r);
    if (r.poll != 0) g_source_remove(r.poll);
    r.poll = 0;
    if (!r.joined) {  // only when the dialog was destroyed from outside
        r.worker.join();
        r.joined = true;
        drain_messages();
        // The results are shown while the window stands.
        if (ui.mainwindow != nullptr) {
            update_graphs(r.project);
            update_buttons(r.project);
            show_results_in_tree(r.project);
        }
    }
    set_status_buffer(nullptr, nullptr, nullptr);
    if (!r.dialog_gone) gtk_widget_destroy(r.widgets.dialog);
    set_message_target(nullptr);
    run.reset();
    if (ui.mainwindow != nullptr) check_calculability(current_project);
}

}  // namespace app::gui
