// Saving and importing fluid-definition files.
#include "app/core/files/fluid_files.h"

#include "app/core/files/file_replace.h"
#include "app/core/files/filehandling.h"
#include "app/core/files/filehandling_scan.h"
#include "app/core/program/text_output.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace app {

namespace {

constexpr std::string_view BLOCK_START = "#START Fluid Definition";

// The name on the block's "Fluid name" line ("" when there is none).
std::string block_fluid_name(std::string_view block) {
    filescan::Lines lines(block);
    std::string_view line;
    while (lines.next(line)) {
        if (filescan::is_end_line(line)) break;
        auto t = filescan::split(line);
        if (filescan::contains(t[0], "Fluid name"))
            return std::string(filescan::trim(filescan::token(t, 1)));
    }
    return "";
}

// The number of the line that opens a second block after the block at
// `first`; 0 when there is none.
int second_block_line(std::string_view text, std::size_t first) {
    filescan::Lines lines(text);
    std::string_view line;
    bool seen = false;
    while (lines.next(line)) {
        if (line.data() < text.data() + first) continue;
        if (filescan::is_start_line(line)) {
            if (seen) return lines.number();
            seen = true;
        }
    }
    return 0;
}

}  // namespace

std::string kvq_file_name(const std::string& chosen) {
    if (chosen.find(".kvq") != std::string::npos) return chosen;
    return chosen + ".kvq";
}

// A fluid named "N2/O2 50-50" was proposed as "N2/O2 50-50.kvq", which the
// file dialog took for a file in a folder "N2" and refused ("The folder
// contents could not be displayed").
std::string kvq_proposed_name(const std::string& fluid_name) {
    std::string name = fluid_name;
    for (char& c : name)
        if (c == '/') c = '-';
    return name + ".kvq";
}

bool save_fluid_file(const std::string& path, const Fluid& fluid, std::string& error) {
    error.clear();
    std::string reason;
    if (replace_file_contents(path, fluid_file_text(fluid), reason)) return true;
    error = format_text("Could not write file '%s': %s", path.c_str(), reason.c_str());
    return false;
}

std::unique_ptr<Fluid> import_fluid_text(std::string_view text, std::string& error,
                                         std::string* warning) {
    error.clear();
    if (warning != nullptr) warning->clear();
    if (text.size() > MAX_FLUID_FILE_SIZE) {
        error = format_text(
            "The file is larger than %zu bytes; a fluid definition takes a few "
            "hundred.",
            MAX_FLUID_FILE_SIZE);
        return nullptr;
    }
    const std::size_t at = text.find(BLOCK_START);
    if (at == std::string_view::npos) {
        error = "The file holds no fluid definition (no line \"#START Fluid Definition\").";
        return nullptr;
    }
    const std::string_view block = text.substr(at);
    if (const int second = second_block_line(text, at); second > 0) {
        error = format_text(
            "The file holds a second fluid definition (line %d); a fluid file holds one fluid.",
            second);
        return nullptr;
    }
    std::string reason, note;
    std::unique_ptr<Fluid> fluid = read_fluid(block, reason, note);
    if (!fluid) {
        if (!reason.empty()) {
            error = "The fluid definition cannot be read: " + reason;
        } else {
            error = format_text(
                "A fluid named '%s' exists already (names are compared ignoring case); the "
                "file's fluid was not imported.",
                block_fluid_name(block).c_str());
        }
        return nullptr;
    }
    if (fluid->available == 0) {
        if (current_fluid == fluid.get()) current_fluid = nullptr;
        error = format_text(
            "The fluid '%s' cannot be set up: some combinations of fluids are not supported. %s",
            fluid->name.c_str(), fluid->setup_failure.c_str());
        return nullptr;
    }
    if (warning != nullptr) *warning = note;
    return fluid;
}

std::unique_ptr<Fluid> import_fluid_file(const std::string& path, std::string& error,
                                         std::string* warning) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = format_text("Could not read file '%s': %s", path.c_str(), std::strerror(errno));
        return nullptr;
    }
    // No more than the limit and one byte is read: a link to an endless
    // device ends here too.
    std::string text(MAX_FLUID_FILE_SIZE + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad()) {
        error = format_text("Could not read file '%s': %s", path.c_str(), std::strerror(errno));
        return nullptr;
    }
    return import_fluid_text(text, error, warning);
}

}  // namespace app
