// Start-up helpers: the program's folders, the usage text and the
// application's message functions.
#include "app/core/program/kvr.h"

#include "app/core/program/text_output.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace app {

std::string app_home_dir;
std::string app_example_dir;
std::string user_home_dir;
std::string input_dir;
std::string graphics_dir;
std::string tmp_dir;
std::string gtkrc_dir;
std::string gtkrc_fn;

void (*message_box_hook)(const std::string& text, bool error) = nullptr;
bool (*save_diagram_png)(Graph& graph, const std::string& path,
                         const std::string& project_file) = nullptr;

namespace {

std::string vformat(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0) return std::string();
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

void deliver(const std::string& text, bool error) {
    if (batchmode) {
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    } else if (message_box_hook != nullptr) {
        message_box_hook(text, error);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

std::string join(const std::string& a, const char* b) {
    if (a.empty()) return b;
    return (std::filesystem::path(a) / b).string();
}

}  // namespace

std::string safe_file_name(std::string_view name) {
    std::string out;
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        bool bad = u < 0x20 || u == 0x7f || c == '/' || c == '\\' || c == ':' || c == '*' ||
                   c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
        out += bad ? '_' : c;
    }
    while (!out.empty() && (out.front() == '.' || out.front() == ' ')) out.erase(0, 1);
    while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
    if (out.size() > 200) out.resize(200);
    if (out.empty()) out = "diagram";
    return out;
}

std::string program_folder(const char* argv0) {
    namespace fs = std::filesystem;
    std::error_code ec;
    // The kernel's record of the running program: its real path, whatever
    // the command line or the working directory say.
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || !exe.is_absolute()) {
        exe.clear();
        const std::string word = argv0 != nullptr ? argv0 : "";
        if (word.find('/') != std::string::npos) {
            exe = fs::absolute(word, ec);
            if (ec) exe.clear();
        } else if (!word.empty()) {
            // A bare name was found along PATH: look it up the same way.
            const char* path = std::getenv("PATH");
            std::string dirs = path != nullptr ? path : "";
            for (std::size_t start = 0; start <= dirs.size();) {
                std::size_t end = dirs.find(':', start);
                if (end == std::string::npos) end = dirs.size();
                std::string dir = dirs.substr(start, end - start);
                start = end + 1;
                if (dir.empty() || dir.front() != '/') continue;  // never the working directory
                fs::path candidate = fs::path(dir) / word;
                if (access(candidate.c_str(), X_OK) == 0) {
                    exe = candidate;
                    break;
                }
            }
        }
        if (!exe.empty()) {
            fs::path real = fs::canonical(exe, ec);
            if (!ec) exe = real;
        }
    }
    if (exe.empty() || !exe.is_absolute()) return std::string();
    return exe.parent_path().string();
}

void set_folders(const char* argv0) {
    app_home_dir = program_folder(argv0);
    if (app_home_dir.empty()) {
        app_example_dir.clear();
        gtkrc_dir.clear();
        gtkrc_fn.clear();
    } else {
        std::filesystem::path home = app_home_dir;
        app_example_dir = (home / ".." / "examples").string();
        gtkrc_dir = (home / ".." / "etc" / "gtk-2.0").string();
        gtkrc_fn = join(gtkrc_dir, "gtkrc");
    }
    const char* h = std::getenv("HOME");
    user_home_dir = h != nullptr ? h : "";
    input_dir = user_home_dir;
    graphics_dir = user_home_dir;
    const char* t = std::getenv("TMPDIR");
    tmp_dir = (t != nullptr && *t != '\0') ? t : "/tmp";
}

void printHelp() {
    std::puts("Usage: kvr2 [OPTION] [FILE]...");
    std::puts("Simulates process (s) stored in FILE(s).\n");
    std::puts("  -b\t\trun in batch mode");
    std::puts("  -h, --help\tprint this help");
    std::puts("");
    std::puts("Batch mode writes, beside each FILE, the project with its results to FILE.out");
    std::puts("and each diagram to FILE.<diagram name>.png (1024 x 800 pixels). It replaces");
    std::puts("only the images it wrote for that FILE before, and reads no settings: a value");
    std::puts("without a unit is in the quantity's own unit (K, bar, kg/s ...).");
}

void showmessage(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = vformat(format, args);
    va_end(args);
    deliver(text, false);
}

void showerror(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = vformat(format, args);
    va_end(args);
    deliver(text, true);
    std::exit(-1);
}

}  // namespace app
