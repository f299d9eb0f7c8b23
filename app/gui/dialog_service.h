// Message boxes and file choosers of the window go through this service.
// By default it runs the toolkit's dialogs over the main window; a test
// installs an answerer that sees each request and answers it, so no modal
// dialog waits for a user.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace app::gui {

// Kinds of message boxes.
enum class MessageKind {
    Info,              // one Close button
    Error,             // one Close button
    SaveDiscardCancel  // a question: Save, Discard or Cancel
};

// Answers to a message box.
enum class Reply { Close, Save, Discard, Cancel };

struct MessageRequest {
    MessageKind kind = MessageKind::Info;
    std::string text;
};

enum class ChooserKind { Open, Save };

struct ChooserRequest {
    ChooserKind kind = ChooserKind::Open;
    std::string title;
    std::string folder;             // starting folder ("" the toolkit's choice)
    std::string proposed_name;      // Save: the name proposed
    bool include_switches = false;  // Save As: "Include Graphs" and "Include Results"
    bool include_graphs = true;
    bool include_results = true;
    std::string filter;  // pattern of the files shown ("" : "*.kvr" for Open, none for Save)
    GtkWindow* parent = nullptr;  // the window the chooser belongs to (null: the main window)
};

struct ChooserAnswer {
    std::string path;    // the chosen file
    std::string folder;  // the chooser's folder when it closed
    bool include_graphs = true;
    bool include_results = true;
};

// Shows a message and returns the reply (Close for Info and Error).
Reply show_message(const MessageRequest& request);
// Convenience: an error box with the text.
void show_error(const std::string& text);
// A file chooser; no answer when the user cancelled.
std::optional<ChooserAnswer> choose_file(const ChooserRequest& request);

// Runs a modal dialog that the program built (a chooser of its own, a
// rename, a new process) over the main window (or `parent`) and returns its
// response; the caller destroys the dialog. The dialog and everything it
// holds are shown first, also when a test's answerer stands in for the
// user.
int run_dialog(GtkDialog* dialog, GtkWindow* parent = nullptr);

// Answerers that replace the dialogs (tests); empty functions restore them.
// `message` gets the request and its message box, built and shown as the
// user would see it, and replies; `dialog` gets the built dialog, may fill
// its widgets, and returns the response instead of the user.
struct DialogAnswerer {
    std::function<Reply(const MessageRequest&, GtkDialog* box)> message;
    std::function<std::optional<ChooserAnswer>(const ChooserRequest&)> chooser;
    std::function<int(GtkDialog*)> dialog;
};
void set_dialog_answerer(DialogAnswerer answerer);
// Every message shown since the last call, oldest first (tests read them).
std::vector<MessageRequest> take_shown_messages();

}  // namespace app::gui
