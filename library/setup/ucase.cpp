#include "library/setup/ucase.h"

#include "library/setup/common.h"

namespace lib {

std::string UCASE(std::string_view h, int n) {
    std::string s = fixed_width(h, 255);
    for (int i = 0; i < n && i < 255; ++i) {
        char& c = s[static_cast<std::size_t>(i)];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

}  // namespace lib
