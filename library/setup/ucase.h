// Upper-casing of names.
#pragma once

#include <string>
#include <string_view>

namespace lib {

// h cut or blank-padded to 255 characters, its first n characters in upper
// case ("a".."z" only); n < 1 leaves the copy unchanged.
std::string UCASE(std::string_view h, int n);

}  // namespace lib
