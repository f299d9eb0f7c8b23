// What the part and interface details dialogs share: the result lists,
// the responses, and closing dialogs whose record has gone.
#pragma once

#include "app/gui/gui.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace app::gui {

// Responses of the details dialogs beside the toolkit's OK and Cancel.
inline constexpr int RESPONSE_RESET = -42;
inline constexpr int RESPONSE_APPLY = -10;

// A two-column list (name, value) without headers, rows in alternating
// colours, cells with margins of 10 by 4; presses on it do nothing.
GtkWidget* result_list(const std::vector<std::pair<std::string, std::string>>& rows);

// Reads the text typed into a value entry into value and unit, shows the
// value as read (with `filling` set meanwhile, so that the entry's own
// handlers ignore it), calls `changed`, then reports a refused or held
// value. Nothing happens when the entry still shows the value.
void read_typed_value(GtkWidget* entry, const ValueDef& def, double& value, int& unit,
                      bool& filling, const std::function<void()>& changed);

// True while the project is open.
bool project_open(const Project* project);

// Closes every details dialog whose record or project has gone.
inline void close_stale_detail_dialogs() { close_detail_dialogs(nullptr, -1); }

// Closes the interface dialogs whose interface or project has gone (all of
// the project's with `all`).
void close_interface_dialogs(const Project* project, bool all);

// Shows the project's interfaces again in their open details dialogs.
void refresh_interface_dialogs(const Project* project);

}  // namespace app::gui
