// A text chunk in a PNG image: batch mode marks the images it writes with
// the project they belong to, so that a later run replaces only those.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace app {

// The keyword of batch mode's mark; its text is the project file's name.
inline constexpr std::string_view BATCH_IMAGE_KEYWORD = "kvr2 batch image";

// The PNG image with a text chunk (keyword, text) placed after its header
// chunk; the image unchanged when it is not a PNG image or the keyword is
// not 1 to 79 characters.
std::string png_with_text(std::string_view png, std::string_view keyword, std::string_view text);

// The text of the first text chunk with the keyword before the image data;
// none when the bytes are not a PNG image or have no such chunk.
std::optional<std::string> png_text(std::string_view png, std::string_view keyword);

}  // namespace app
