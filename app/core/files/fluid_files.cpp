// Saving and importing fluid-definition files.
#include "app/core/files/fluid_files.h"

#include "app/core/files/file_replace.h"
#include "app/core/files/filehandling.h"
#include "app/core/files/filehandling_scan.h"
#include "app/core/program/text_output.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace app {

namespace {

constexpr std::string_view BLOCK_START = "#START Fluid Definition";

// The name on the block's "Fluid name" line ("" when there is none).
std::string block_fluid_name(std::string_view block) {
    filescan::Lines lines(block);
    std::string_view line;
    while (lines.next(line)) {
        if (filescan::contains(line, "#END")) break;
        auto t = filescan::split(line);
        if (filescan::contains(t[0], "Fluid name"))
            return std::string(filescan::trim(filescan::token(t, 1)));
    }
    return "";
}

}  // namespace

std::string kvq_file_name(const std::string& chosen) {
    if (chosen.find(".kvq") != std::string::npos) return chosen;
    return chosen + ".kvq";
}

bool save_fluid_file(const std::string& path, const Fluid& fluid, std::string& error) {
    error.clear();
    std::string reason;
    if (replace_file_contents(path, fluid_file_text(fluid), reason)) return true;
    error = format_text("Could not write file '%s': %s", path.c_str(), reason.c_str());
    return false;
}

std::unique_ptr<Fluid> import_fluid_text(std::string_view text, std::string& error) {
    error.clear();
    const std::size_t at = text.find(BLOCK_START);
    if (at == std::string_view::npos) {
        error = "The file holds no fluid definition (no line \"#START Fluid Definition\").";
        return nullptr;
    }
    const std::string_view block = text.substr(at);
    std::string reason, warning;
    std::unique_ptr<Fluid> fluid = read_fluid(block, reason, warning);
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
            "The fluid '%s' cannot be set up: some combinations of fluids are not supported.",
            fluid->name.c_str());
        return nullptr;
    }
    return fluid;
}

std::unique_ptr<Fluid> import_fluid_file(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = format_text("Could not read file '%s': %s", path.c_str(), std::strerror(errno));
        return nullptr;
    }
    std::stringstream text;
    text << in.rdbuf();
    return import_fluid_text(text.str(), error);
}

}  // namespace app
