// The settings key file of the window, in the user's configuration folder:
// default units, the part dialog's composition display, the folder of the
// file dialogs; the print settings and page setup groups are kept as they
// were read. Batch mode never reads it.
#include "app/core/files/filehandling.h"

#include "app/core/model/units.h"
#include "app/core/program/kvr.h"

#include <glib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace app {

std::string currentdir;
int part_dialog_mole_or_mass = 0;
int part_dialog_percent_or_fraction = 0;
void (*on_settings_save)(GKeyFile* key_file) = nullptr;

namespace {

constexpr const char* GROUP_UNITS = "Default Units";
constexpr const char* GROUP_PART_DIALOG = "PartDialogSettings";
constexpr const char* GROUP_DIRECTORIES = "Directories";

// The key file read at start, with every group it held; written back with
// the current values.
GKeyFile* settings_key_file = nullptr;

std::string user_settings_path() {
    // XDG_CONFIG_HOME is looked at on every call (GLib keeps its first answer).
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path dir = (xdg != nullptr && *xdg != '\0') ? xdg : g_get_user_config_dir();
    return (dir / "kvr2" / SETTINGS_FILE_NAME).string();
}

// True when the path names a file; false also when it cannot be looked at
// (too long, a loop of links, a folder that cannot be read).
bool file_exists(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    return std::filesystem::exists(path, ec) && !ec;
}

bool read_int(GKeyFile* kf, const char* group, const char* key, int& value) {
    GError* error = nullptr;
    int v = g_key_file_get_integer(kf, group, key, &error);
    if (error != nullptr) {
        g_error_free(error);
        return false;
    }
    value = v;
    return true;
}

bool write_text(const std::string& path, const char* data, gsize length) {
    GError* error = nullptr;
    bool ok = g_file_set_contents(path.c_str(), data, static_cast<gssize>(length), &error);
    if (error != nullptr) g_error_free(error);
    return ok;
}

}  // namespace

std::string settings_path() { return user_settings_path(); }

std::string folder_problem(std::string_view folder) {
    if (folder.size() > MAX_FOLDER_LENGTH)
        return "it is " + std::to_string(folder.size()) + " characters long, more than " +
               std::to_string(MAX_FOLDER_LENGTH);
    if (g_utf8_validate(folder.data(), static_cast<gssize>(folder.size()), nullptr) == FALSE)
        return "it is not valid UTF-8 text";
    for (char c : folder)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return "it holds a control character";
    if (folder.empty() || folder.front() != '/') return "it is not an absolute path";
    std::error_code ec;
    if (!std::filesystem::is_directory(std::string(folder), ec) || ec)
        return "it is not a folder that can be reached";
    return "";
}

void load_settings_text(std::string_view text) {
    if (settings_key_file != nullptr) g_key_file_free(settings_key_file);
    settings_key_file = g_key_file_new();
    currentdir = user_home_dir.empty() ? g_get_home_dir() : user_home_dir;

    GError* error = nullptr;
    if (text.size() > MAX_SETTINGS_SIZE ||
        !g_key_file_load_from_data(settings_key_file, text.data(), text.size(),
                                   G_KEY_FILE_KEEP_COMMENTS, &error)) {
        if (error != nullptr) g_error_free(error);
        // Too large, malformed: every value keeps its default.
        g_key_file_free(settings_key_file);
        settings_key_file = g_key_file_new();
        return;
    }
    for (int q = 0; q < NUM_QUANTITIES; ++q) {
        int unit = 0;
        if (read_int(settings_key_file, GROUP_UNITS, unitdef[static_cast<std::size_t>(q)].name,
                     unit)) {
            int n = unit_count(q);
            if (n > 0) set_default_unit(q, std::clamp(unit, 0, n - 1));
        }
    }
    int v = 0;
    if (read_int(settings_key_file, GROUP_PART_DIALOG, "MoleOrMass", v))
        part_dialog_mole_or_mass = std::clamp(v, 0, 1);
    if (read_int(settings_key_file, GROUP_PART_DIALOG, "PercentOrFraction", v))
        part_dialog_percent_or_fraction = std::clamp(v, 0, 1);
    if (gchar* dir =
            g_key_file_get_string(settings_key_file, GROUP_DIRECTORIES, "Current Dir", nullptr)) {
        const std::string why = folder_problem(dir);
        if (why.empty()) {
            currentdir = dir;
        } else {
            // The file dialogs start in the home folder; the next save
            // writes that instead.
            std::fprintf(stderr, "kvr2: the settings' \"Current Dir\" is not used: %s.\n",
                         why.c_str());
            g_key_file_remove_key(settings_key_file, GROUP_DIRECTORIES, "Current Dir", nullptr);
        }
        g_free(dir);
    }
}

void load_default_settings() {
    const std::string path = settings_path();
    std::string text;
    if (file_exists(path)) {
        // Never more than the limit and a byte: a link to an endless device
        // ends here too.
        std::ifstream in(path, std::ios::binary);
        text.assign(MAX_SETTINGS_SIZE + 1, '\0');
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(in ? text.size() : static_cast<std::size_t>(in.gcount()));
    }
    load_settings_text(text);
}

GKeyFile* settings_key_file_handle() { return settings_key_file; }

bool save_default_settings() {
    if (settings_key_file == nullptr) settings_key_file = g_key_file_new();
    GKeyFile* kf = settings_key_file;
    if (on_settings_save != nullptr) on_settings_save(kf);
    for (int q = 0; q < NUM_QUANTITIES; ++q) {
        const UnitQuantity& uq = unitdef[static_cast<std::size_t>(q)];
        g_key_file_set_integer(kf, GROUP_UNITS, uq.name, uq.default_unit);
    }
    g_key_file_set_integer(kf, GROUP_PART_DIALOG, "MoleOrMass", part_dialog_mole_or_mass);
    g_key_file_set_integer(kf, GROUP_PART_DIALOG, "PercentOrFraction",
                           part_dialog_percent_or_fraction);
    if (!currentdir.empty())
        g_key_file_set_string(kf, GROUP_DIRECTORIES, "Current Dir", currentdir.c_str());

    gsize length = 0;
    gchar* data = g_key_file_to_data(kf, &length, nullptr);
    if (data == nullptr) return false;
    // Always the user's own folder, never the program's: other users and
    // batch mode never see one user's choices.
    const std::string path = user_settings_path();
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    const bool ok = write_text(path, data, length);
    g_free(data);
    return ok;
}

}  // namespace app
