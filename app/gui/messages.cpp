// Message output on the GUI thread. status_message and print_message may
// run on the calculation worker: their texts are queued here, with the
// project they belong to, and delivered by the GUI thread in the order
// they were sent — appended to the project's logs, to the end of its
// message view, and to the calculation dialog's status view while it is
// open.
#include "app/core/model/create_delete.h"
#include "app/core/program/text_output.h"
#include "app/gui/gui.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <utility>

namespace app::gui {
namespace {

struct Queued {
    Project* project;
    bool status;  // a status record (else a text for the calculation log)
    std::string text;
    std::string tag;
};

std::mutex queue_mutex;
std::deque<Queued> queue;
bool wake_pending = false;  // an idle delivery is queued (under queue_mutex)

std::atomic<Project*> message_target{nullptr};
Project* status_project = nullptr;
GtkTextBuffer* status_buffer = nullptr;
GtkWidget* status_view = nullptr;

bool is_open(const Project* project) {
    for (const Project* p : project_list) {
        if (p == nullptr) break;
        if (p == project) return true;
    }
    return false;
}

void scroll_to_end(GtkWidget* view, GtkTextBuffer* buffer) {
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(buffer, &end);
    GtkTextMark* mark = gtk_text_buffer_get_mark(buffer, "kvr-end");
    if (mark == nullptr)
        mark = gtk_text_buffer_create_mark(buffer, "kvr-end", &end, FALSE);
    else
        gtk_text_buffer_move_mark(buffer, mark, &end);
    gtk_text_view_scroll_mark_onscreen(GTK_TEXT_VIEW(view), mark);
}

void deliver_text(Project* project, const std::string& text) {
    log_append(project->calc_log, text);
    ProjectView* view = view_of(project);
    if (view == nullptr || view->message_buffer == nullptr) return;
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(view->message_buffer, &end);
    gtk_text_buffer_insert(view->message_buffer, &end, text.c_str(), -1);
    scroll_to_end(view->message_view, view->message_buffer);
}

void deliver_status(Project* project, const std::string& text, const std::string& tag) {
    if (project->status_log_open == 0) return;
    log_append(project->status_log, text);
    if (project != status_project || status_buffer == nullptr) return;
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(status_buffer, &end);
    gtk_text_buffer_insert_with_tags_by_name(status_buffer, &end, text.c_str(), -1, tag.c_str(),
                                             nullptr);
    if (status_view != nullptr) scroll_to_end(status_view, status_buffer);
}

gboolean deliver_idle(gpointer) {
    drain_messages();
    return FALSE;
}

void enqueue(Queued item) {
    std::lock_guard<std::mutex> lock(queue_mutex);
    queue.push_back(std::move(item));
    if (!wake_pending) {
        wake_pending = true;
        g_idle_add(deliver_idle, nullptr);  // thread-safe: the main context wakes up
    }
}

Project* target() {
    Project* t = message_target.load();
    return t != nullptr ? t : current_project;
}

void post_text_gui(std::string text) { enqueue({target(), false, std::move(text), {}}); }

void post_status_gui(StatusRecord record) {
    enqueue({target(), true, std::move(record.text), std::move(record.tag)});
}

}  // namespace

void install_message_posters() {
    post_text = post_text_gui;
    post_status = post_status_gui;
}

void drain_messages() {
    std::deque<Queued> items;
    {
        std::lock_guard<std::mutex> lock(queue_mutex);
        items.swap(queue);
        wake_pending = false;
    }
    for (const Queued& item : items) {
        if (item.project == nullptr || !is_open(item.project)) continue;
        if (item.status)
            deliver_status(item.project, item.text, item.tag);
        else
            deliver_text(item.project, item.text);
    }
}

void set_message_target(Project* project) { message_target.store(project); }

void set_status_buffer(Project* project, GtkTextBuffer* buffer, GtkWidget* view) {
    status_project = project;
    status_buffer = buffer;
    status_view = view;
}

}  // namespace app::gui
