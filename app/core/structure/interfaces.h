// Interfaces between two heat exchangers, without a display: which heat
// exchangers are free, making an interface (both sides linked), swapping
// its sides. Deleting one is remove_interface (structure.h).
//
// A heat exchanger is free when its "Outlet Temperature" option holds
// choice 0 or 1, and linked when it holds choice 2: the interface then
// determines its outlet, and its picture is the heat source (hot side) or
// the heat sink (cold side).
#pragma once

#include "app/core/model/records.h"

#include <string>
#include <vector>

namespace app {

// The "Outlet Temperature" choice of a linked heat exchanger.
inline constexpr int DETERMINED_BY_INTERFACE = 2;
// The pictures of the hot and the cold side of an interface.
inline constexpr const char* HEAT_SOURCE_ICON = "My_heatsource";
inline constexpr const char* HEAT_SINK_ICON = "My_heatsink";

// A Heat Exchanger whose outlet no interface determines.
bool free_heat_exchanger(const Part& part);

// One entry of the side lists: process and part index, "%s : %s" with the
// process and part names.
struct HeatExchangerChoice {
    int process = -1;
    int part = -1;
    std::string text;
};
// Every free heat exchanger of every process (parts between the first and
// the last), in project and calculation order.
std::vector<HeatExchangerChoice> free_heat_exchangers(const Project& project);

// Links the interface's two heat exchangers (those still found): choice
// "Determined by Interface", the heat-source picture on the hot side and
// the heat-sink picture on the cold side; their shown inputs follow.
void link_heat_exchangers(Project& project, const Interface& itf);

// Makes an interface with the hot side (process and part index) and the
// cold side, both free heat exchangers and not the same one, links them and
// appends it; it becomes the current interface (no current process or
// part). Returns its index, or -1 with the reason in `refusal`: a full
// project (an 11th interface), a side that is not a free heat exchanger.
int create_interface_between(Project& project, int hot_process, int hot_part, int cold_process,
                             int cold_part, std::string& refusal);

// Exchanges the hot and cold sides of interface `index` and their
// pictures; inputs and results stay. False for a bad index.
bool swap_interface_sides(Project& project, int index);

}  // namespace app
