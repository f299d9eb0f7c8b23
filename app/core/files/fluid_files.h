// Fluid-definition files (*.kvq): a header line and one fluid block, the
// same block a project file holds. Saving, exporting and importing a user
// fluid go through these functions; the window only asks for the file.
#pragma once

#include "app/core/model/records.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace app {

// The file name for the name a user chose: ".kvq" appended unless the name
// already contains ".kvq".
std::string kvq_file_name(const std::string& chosen);

// The file name the save dialog proposes for a fluid: its name with ".kvq",
// each "/" (which no file name holds) given as "-".
std::string kvq_proposed_name(const std::string& fluid_name);

// Writes the fluid's definition file (header and block) through a temporary
// file beside it. False, with `error` naming the file and the reason, when
// it cannot be written; an old file of that name is then unchanged.
bool save_fluid_file(const std::string& path, const Fluid& fluid, std::string& error);

// Fluid-definition files above this size are refused (one takes a few
// hundred bytes).
inline constexpr std::size_t MAX_FLUID_FILE_SIZE = 64u << 10;

// Reads a fluid-definition file's text into a new user fluid set up with
// the library (not yet in `fluids`). Null, with `error` saying why, for a
// text larger than MAX_FLUID_FILE_SIZE, without a fluid block or with a
// second one, a block the reader refuses (component count outside 1..20,
// unknown component names, counts that do not match the component lines,
// a name with a quote, a control character or invalid UTF-8, reference
// humidity values outside the fluid editor's ranges ...), a name already
// in use (ignoring case), or a fluid the library cannot set up
// (current_fluid is then clear). `warning`, when given, gets what was
// changed on reading (mole fractions scaled to add up to 1).
std::unique_ptr<Fluid> import_fluid_text(std::string_view text, std::string& error,
                                         std::string* warning = nullptr);
// The same for a file, of which no more than MAX_FLUID_FILE_SIZE and one
// byte is read; a file that cannot be read is reported in `error`.
std::unique_ptr<Fluid> import_fluid_file(const std::string& path, std::string& error,
                                         std::string* warning = nullptr);

}  // namespace app
