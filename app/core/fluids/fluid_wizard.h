// The fluid-definition wizard as data: its state record, the page that
// follows each page, the name check, the moves between the lists of
// available and selected fluids, copying a mixture into the wizard, and the
// user fluid built from it. The window's assistant (app/fluids) shows this
// state and calls these functions; tests call them without a display.
#pragma once

#include "app/core/fluids/composition.h"
#include "app/core/model/records.h"

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace app {

// Pages of the wizard, in order.
enum WizardPage : int {
    WP_NAME = 0,         // "Fluid Name and Type"
    WP_HUMIDITY = 1,     // "Humidity Definition"
    WP_COMPONENTS = 2,   // "Fluid Components"
    WP_COMPOSITION = 3,  // "Fluid Composition"
    WP_REFERENCE = 4,    // "Reference Humidity Definition"
    WP_CONFIRM = 5,      // "Fluid Creation Confirmation"
    WP_FINISHED = 6,     // "Fluid Creation Finished"
    WP_FAILED = 7,       // "Fluid definition failed"
    NUM_WIZARD_PAGES = 8
};

// The type radio buttons of page 0.
enum FluidKind : int { KIND_NONE = -1, KIND_DRY = 0, KIND_HUMID = 1, KIND_GENERAL = 2 };
// The humidity radio buttons of page 1.
enum HumidityChoice : int { HUM_RH_STANDARD = 0, HUM_RH_INLET = 1, HUM_WATER_FRACTION = 2 };

// Directions of a list move.
inline constexpr int MOVE_TO_SELECTED = 1;
inline constexpr int MOVE_TO_AVAILABLE = 2;

struct WizardState {
    std::string new_name;
    int kind = KIND_DRY;                    // page 0's radio buttons
    int humidity_choice = HUM_RH_STANDARD;  // page 1's radio buttons
    int fluid_type = 0;                     // 0 dry, 1 humid or general
    int humidity_type = HT_DRY;
    std::vector<int> available;  // "Available Fluids", top to bottom (fluid indexes)
    std::vector<int> selected;   // "Selected Fluids"
    Composition composition;     // fluid_ids, mole_proz, mass_proz
    ReferenceHumidity reference;
    std::array<bool, NUM_WIZARD_PAGES> complete{};
    bool built = false;  // page 5's build succeeded
};

// The fluids offered as components (fluid indexes): carbon monoxide to
// xenon, the alkanes to hexane, toluene; each only when available.
std::vector<int> wizard_component_fluids();

// A new run: the available list filled, nothing selected, the reference
// values and fractions at their defaults, the pages that are always
// complete marked so; the name and both radio groups at their defaults.
void start_wizard(WizardState& state);

// The name check of page 0: the warning text ("" or "Name in use already")
// and whether the page is complete (a name that no fluid has, compared
// exactly).
struct NameCheck {
    std::string warning;
    bool complete = false;
};
NameCheck check_name(const std::string& name);
// Sets new_name and page 0's completeness.
void set_wizard_name(WizardState& state, const std::string& name);

// Moves a fluid between the lists (prepended to the other one). Water is
// not moved while "Humid Mixture" and "Total Water Fraction" are chosen.
// Page 2 is then complete exactly when something is selected. False when
// nothing moved.
bool move_fluid(WizardState& state, int direction, int fluid);

// The page after `page` as the state stands (no change to it).
int next_page_of(const WizardState& state, int page);

// Leaving `page` forward: what it decides (fluid type and humidity type,
// water into or out of the lists, the components of the composition), then
// the page that follows. Page 5's build is done by the caller before (its
// result in `built`).
int nextpage(WizardState& state, int page);

// The components of the composition tables: the selected fluids in order.
void take_selected_components(WizardState& state);

// Fills the wizard from an existing mixture ("Import existing mixture"):
// name "<name> copy" (with its check), the type radio buttons by its
// humidity type, components and mole fractions (the mass view follows),
// the components moved from "Available" to the end of "Selected", the
// reference values of a fluid with relative humidity at standard values;
// pages 2 to 6 complete.
void copy_into_wizard(WizardState& state, const Fluid& fluid);

// The mixtures that can be copied: predefined and user fluids in `fluids`
// order (available ones only).
std::vector<int> copyable_fluids();
// The user fluids in `fluids` order (available ones only).
std::vector<int> user_fluids();

// The user fluid the wizard defines, set up with the library; null when the
// library cannot set it up (nothing else is changed then, and current_fluid
// is clear). `message` gets the reason of a failure.
std::unique_ptr<Fluid> build_fluid(const WizardState& state, std::string& message);

// Texts of the summary page: (label markup, value) pairs of the head, and
// (name, mole %, mass %) rows of the components.
struct SummaryRow {
    std::string name;
    double mole_percent = 0.0;
    double mass_percent = 0.0;
};
std::vector<std::pair<std::string, std::string>> summary_head(const WizardState& state);
std::vector<SummaryRow> summary_components(const WizardState& state);
// The reference values of a type-2 fluid in the given units ("%.6g %s"),
// with their labels.
std::vector<std::pair<std::string, std::string>> summary_reference(
    const WizardState& state, const std::array<int, NUM_REF_ROWS>& units);

}  // namespace app
