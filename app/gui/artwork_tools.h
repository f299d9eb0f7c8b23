// The window's tool icons (toolbar and menus), drawn with the helpers of
// app/diagrams/artwork_draw.h into a unit square.
#pragma once

#include <cairo.h>

#include <string>

namespace app::art {

// The tool icon of a stock name; false for an unknown name.
bool paint_tool(cairo_t* cr, const std::string& name);

}  // namespace app::art
