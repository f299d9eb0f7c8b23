// Message output: formatting, the two logs and batch-mode printing.
#include "app/core/program/text_output.h"

#include "app/core/model/create_delete.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <utility>

namespace app {

int batchmode = 0;
TextPoster post_text = writetext;
StatusPoster post_status = writestatus;

namespace {

thread_local long given = 0;

std::string vformat(const char* format, std::va_list args) {
    if (format == nullptr) return std::string();
    std::va_list copy;
    va_copy(copy, args);
    char small[512];
    const int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0) return std::string();
    if (static_cast<std::size_t>(n) < sizeof small)
        return std::string(small, static_cast<std::size_t>(n));
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

void to_stdout(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

struct LevelStyle {
    const char* prefix;
    const char* tag;
};

LevelStyle style_of(int level) {
    switch (level) {
        case ML_WARNING: return {"WARNING: ", "tag_warning"};
        case ML_ERROR: return {"ERROR: ", "tag_error"};
        default: return {"", "tag_info"};
    }
}

}  // namespace

std::string format_text(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string text = vformat(format, args);
    va_end(args);
    return text;
}

void writetext(std::string text) {
    if (current_project == nullptr) return;
    log_append(current_project->calc_log, text);
}

void writestatus(StatusRecord record) {
    if (current_project == nullptr || current_project->status_log_open == 0) return;
    log_append(current_project->status_log, record.text);
}

long messages_given() { return given; }

void status_message(int level, const char* format, ...) {
    ++given;
    std::va_list args;
    va_start(args, format);
    std::string text = vformat(format, args);
    va_end(args);
    const LevelStyle style = style_of(level);
    // Line breaks that open a text come before its prefix: no prefix stands
    // alone on a line of its own.
    const std::size_t start = std::min(text.find_first_not_of('\n'), text.size());
    StatusRecord record{text.substr(0, start) + style.prefix + text.substr(start), style.tag};
    std::string log_text = "\n" + text;
    if (batchmode != 0) {
        // Standard output stands for both logs: the text once, after a
        // newline as in the calculation log and with its level's prefix.
        to_stdout("\n" + record.text);
        return;
    }
    if (post_text != nullptr) post_text(std::move(log_text));
    if (post_status != nullptr) post_status(std::move(record));
}

void print_message(const char* format, ...) {
    ++given;
    std::va_list args;
    va_start(args, format);
    std::string text = vformat(format, args);
    va_end(args);
    if (batchmode != 0) {
        to_stdout(text);
        return;
    }
    if (post_text != nullptr) post_text(std::move(text));
}

}  // namespace app
