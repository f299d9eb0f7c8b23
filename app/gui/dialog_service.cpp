// Message boxes and file choosers, or the answerer that stands in for them.
#include "app/gui/dialog_service.h"

#include "app/gui/gui.h"

#include <utility>

namespace app::gui {
namespace {

DialogAnswerer answerer;
std::vector<MessageRequest> shown;

// The message box of the request, built over the main window.
GtkWidget* message_box(const MessageRequest& request) {
    const bool question = request.kind == MessageKind::SaveDiscardCancel;
    const GtkMessageType type = request.kind == MessageKind::Error ? GTK_MESSAGE_ERROR
                                : question                         ? GTK_MESSAGE_QUESTION
                                                                   : GTK_MESSAGE_INFO;
    GtkWidget* box = gtk_message_dialog_new(
        ui.mainwindow != nullptr ? GTK_WINDOW(ui.mainwindow) : nullptr,
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), type,
        question ? GTK_BUTTONS_NONE : GTK_BUTTONS_CLOSE, "%s", request.text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), question                             ? "Unsaved changes"
                                          : request.kind == MessageKind::Error ? "Error"
                                                                               : "Message");
    if (question) {
        gtk_dialog_add_buttons(GTK_DIALOG(box), "_Discard", GTK_RESPONSE_NO, GTK_STOCK_CANCEL,
                               GTK_RESPONSE_CANCEL, GTK_STOCK_SAVE, GTK_RESPONSE_YES, nullptr);
        gtk_dialog_set_default_response(GTK_DIALOG(box), GTK_RESPONSE_YES);
    }
    return box;
}

Reply reply_of(const MessageRequest& request, int response) {
    if (request.kind != MessageKind::SaveDiscardCancel) return Reply::Close;
    if (response == GTK_RESPONSE_YES) return Reply::Save;
    if (response == GTK_RESPONSE_NO) return Reply::Discard;
    return Reply::Cancel;
}

// The two check buttons of Save As above the chooser's file area.
struct IncludeSwitches {
    GtkWidget* graphs = nullptr;
    GtkWidget* results = nullptr;
};

IncludeSwitches add_include_switches(GtkWidget* chooser, const ChooserRequest& request) {
    IncludeSwitches s;
    GtkWidget* box = gtk_vbox_new(FALSE, 2);
    GtkWidget* row = gtk_hbox_new(FALSE, 4);
    s.graphs = gtk_check_button_new_with_label("Include Graphs");
    s.results = gtk_check_button_new_with_label("Include Results");
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(s.graphs), request.include_graphs);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(s.results), request.include_results);
    gtk_box_pack_start(GTK_BOX(row), s.graphs, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), gtk_vseparator_new(), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), s.results, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), row, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), gtk_hseparator_new(), FALSE, FALSE, 0);
    gtk_widget_show_all(box);
    gtk_file_chooser_set_extra_widget(GTK_FILE_CHOOSER(chooser), box);
    return s;
}

std::optional<ChooserAnswer> run_chooser(const ChooserRequest& request) {
    const bool save = request.kind == ChooserKind::Save;
    GtkWindow* parent = request.parent != nullptr  ? request.parent
                        : ui.mainwindow != nullptr ? GTK_WINDOW(ui.mainwindow)
                                                   : nullptr;
    GtkWidget* chooser = gtk_file_chooser_dialog_new(
        request.title.c_str(), parent,
        save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN, GTK_STOCK_CANCEL,
        GTK_RESPONSE_CANCEL, save ? GTK_STOCK_SAVE : GTK_STOCK_OPEN, GTK_RESPONSE_ACCEPT, nullptr);
    gtk_window_set_default_size(GTK_WINDOW(chooser), 600, save ? 600 : 400);
    if (!request.folder.empty())
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), request.folder.c_str());
    IncludeSwitches switches;
    if (save) {
        gtk_file_chooser_set_do_overwrite_confirmation(GTK_FILE_CHOOSER(chooser), TRUE);
        if (!request.proposed_name.empty())
            gtk_file_chooser_set_current_name(GTK_FILE_CHOOSER(chooser),
                                              request.proposed_name.c_str());
        if (request.include_switches) switches = add_include_switches(chooser, request);
    }
    const std::string pattern = !request.filter.empty() ? request.filter : save ? "" : "*.kvr";
    if (!pattern.empty()) {
        GtkFileFilter* filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, pattern.c_str());
        gtk_file_filter_add_pattern(filter, pattern.c_str());
        gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser), filter);
    }
    std::optional<ChooserAnswer> answer;
    if (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
        ChooserAnswer a;
        if (gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser))) {
            a.path = name;
            g_free(name);
        }
        if (gchar* folder = gtk_file_chooser_get_current_folder(GTK_FILE_CHOOSER(chooser))) {
            a.folder = folder;
            g_free(folder);
        }
        a.include_graphs = request.include_graphs;
        a.include_results = request.include_results;
        if (switches.graphs != nullptr) {
            a.include_graphs = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(switches.graphs));
            a.include_results = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(switches.results));
        }
        if (!a.path.empty()) answer = a;
    }
    gtk_widget_destroy(chooser);
    return answer;
}

}  // namespace

Reply show_message(const MessageRequest& request) {
    shown.push_back(request);
    GtkWidget* box = message_box(request);
    Reply reply = Reply::Cancel;
    if (answerer.message) {
        // The box as the user meets it, while the answerer reads it.
        gtk_widget_show_all(box);
        reply = answerer.message(request, GTK_DIALOG(box));
    } else {
        reply = reply_of(request, gtk_dialog_run(GTK_DIALOG(box)));
    }
    gtk_widget_destroy(box);
    return reply;
}

void show_error(const std::string& text) { show_message({MessageKind::Error, text}); }

std::optional<ChooserAnswer> choose_file(const ChooserRequest& request) {
    if (answerer.chooser) return answerer.chooser(request);
    return run_chooser(request);
}

int run_dialog(GtkDialog* dialog, GtkWindow* parent) {
    if (parent != nullptr)
        gtk_window_set_transient_for(GTK_WINDOW(dialog), parent);
    else if (ui.mainwindow != nullptr)
        gtk_window_set_transient_for(GTK_WINDOW(dialog), GTK_WINDOW(ui.mainwindow));
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    // The dialog with every field it holds, whoever answers it: a test's
    // answerer meets the dialog exactly as a user would.
    gtk_widget_show_all(GTK_WIDGET(dialog));
    if (answerer.dialog) return answerer.dialog(dialog);
    return gtk_dialog_run(dialog);
}

void set_dialog_answerer(DialogAnswerer a) { answerer = std::move(a); }

std::vector<MessageRequest> take_shown_messages() {
    std::vector<MessageRequest> out;
    out.swap(shown);
    return out;
}

}  // namespace app::gui
