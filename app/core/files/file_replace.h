// Replacing a file's contents safely: the text goes into a temporary file
// beside the target, which is then renamed over it. A failure at any step
// leaves the old file as it was and no temporary file behind.
#pragma once

#include <string>
#include <string_view>

namespace app {

// Writes `text` to `path` through a temporary file in the same folder.
// Returns true, or false with `reason` set to what failed (the system's
// text for the error).
bool replace_file_contents(const std::string& path, std::string_view text, std::string& reason);

}  // namespace app
