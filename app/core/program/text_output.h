// Message output of the application: the calculation log and the status log
// of the current project, or standard output in batch mode.
//
// status_message and print_message may be called from any thread. They
// format their text at once and hand it over through the two posters below,
// which deliver it to the thread that owns the logs: by default at once on
// the calling thread (no display, batch mode, tests); the window code
// replaces them with posters that queue the delivery on the GUI thread.
#pragma once

#include <string>

namespace app {

// 1 in batch mode: messages go to standard output instead of the logs.
extern int batchmode;

// Message levels of status_message.
enum MessageLevel : int { ML_INFO = 0, ML_WARNING = 1, ML_ERROR = 2 };

// A text for the status log: with its level's prefix, and the name of the
// text tag it is shown with ("tag_info", "tag_warning", "tag_error").
struct StatusRecord {
    std::string text;
    std::string tag;
};

// Appends a text to the calculation log of current_project (nothing without
// a current project).
void writetext(std::string text);
// Appends a record's text to the status log of current_project once a
// calculation dialog has opened that log (nothing before, or without a
// current project).
void writestatus(StatusRecord record);

// Deliverers of the two kinds of text; writetext and writestatus by default.
using TextPoster = void (*)(std::string text);
using StatusPoster = void (*)(StatusRecord record);
extern TextPoster post_text;
extern StatusPoster post_status;

// A text with a level: "\n" and the text to the calculation log, the text
// with the level's prefix (none, "WARNING: ", "ERROR: ") to the status log.
// In batch mode both go to standard output, the log text first. The format
// follows printf; names given by the user are passed as arguments to "%s",
// never as the format.
void status_message(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// A plain text to the calculation log (standard output in batch mode).
void print_message(const char* format, ...) __attribute__((format(printf, 1, 2)));

// How many texts status_message and print_message have given on the calling
// thread so far: a routine that said nothing while it ran shows it by the
// same count before and after.
long messages_given();

// The text that a printf format and its arguments make, of any length.
std::string format_text(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace app
