#include "library/setup/openfl.h"

#include "library/library.h"
#include "library/setup/common.h"
#include "library/setup/textstore.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace lib {

namespace {
constexpr std::size_t kNameWidth = 255;
constexpr std::size_t kKeyWidth = 270;

// The name as the fixed 255-character field would hold it, cut at its first
// blank; empty when the field has no blank at all.
std::string_view name_part(std::string_view name) {
    if (name.size() > kNameWidth) name = name.substr(0, kNameWidth);
    std::size_t b = name.find(' ');
    if (b == std::string_view::npos) {
        // A shorter name is blank-padded, so its blank follows its last character.
        return name.size() < kNameWidth ? name : std::string_view();
    }
    return name.substr(0, b);
}
// Whether the line, blank-padded to the store's line width, holds `key`,
// without forming the padded line: every set-up looks for each of its
// fluids among the key lines of all texts (water is the 120th), and the
// padded copies cost a set-up of water a tenth of its time.
bool padded_holds(std::string_view line, std::string_view key) {
    const auto width = static_cast<std::size_t>(kTextLineWidth);
    line = line.substr(0, std::min(line.size(), width));
    if (key.size() > width) return false;
    // Past the line's end only blanks: a key that opens with another
    // character starts within the line.
    const std::size_t last = !key.empty() && key[0] != ' '
                                 ? std::min(line.size(), width - key.size() + 1)
                                 : width - key.size() + 1;
    for (std::size_t at = 0; at < last; ++at) {
        std::size_t i = 0;
        while (i < key.size() && (at + i < line.size() ? line[at + i] : ' ') == key[i]) ++i;
        if (i == key.size()) return true;
    }
    return false;
}

// The text slot of each name found before, for the texts as they stood
// then (a set-up of a mixture looks for its reference fluids every time).
struct FoundSlots {
    long texts = -1;
    std::unordered_map<std::string, int> slot;
};

int find_slot(const std::string& key) {
    for (int k = 1; k <= kTextCount; ++k)
        if (padded_holds(store::line(k, 0), key)) return k;
    return 0;
}

}  // namespace

void OPENFL(int& slot, std::string_view name, int& ierr, std::string& herr) {
    static FoundSlots found;
    if (found.texts != fluid_text_version()) {
        found.slot.clear();
        found.texts = fluid_text_version();
    }
    std::string key = "<<";
    key += name_part(name);
    key += ">>";
    key.resize(kKeyWidth, ' ');
    auto known = found.slot.find(key);
    const int k = known != found.slot.end() ? known->second : find_slot(key);
    if (k > 0) {
        if (known == found.slot.end()) found.slot.emplace(key, k);
        slot = k;
        ILINE = 1;
        ierr = 0;
        herr.clear();
        return;
    }
    slot = 1;
    ILINE = 1;
    ierr = 101;
    std::string first(name.substr(0, 20));
    herr = "Unknown fluid" + std::string(trim_right(first));
}

void RFFILE(std::string_view name, std::string& refname) {
    if (name.size() > kNameWidth) name = name.substr(0, kNameWidth);
    std::string_view head = name.substr(0, 5);
    if (head == "BDATA" || head == "bdata") return;
    std::size_t b = name.find(' ');
    std::string_view part = b == std::string_view::npos ? name : name.substr(0, b);
    std::size_t p = part.find_last_of("\\:/");
    if (p == std::string_view::npos) return;
    std::string r(part.substr(0, p + 1));
    r += trim_right(refname);
    if (r.size() > kNameWidth) r.resize(kNameWidth);
    refname = std::move(r);
}

}  // namespace lib
