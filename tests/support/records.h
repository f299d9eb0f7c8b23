// The one fixture piece that saves shared records of the library and puts
// them back when it goes out of scope, for tests that change records behind
// set-up.
#pragma once

#include <tuple>

namespace testsupport {

// SavedRecords saved{lib::NCOMP, lib::CCON};  ...  (restored at scope end)
template <class... Record>
class SavedRecords {
public:
    explicit SavedRecords(Record&... records) : live_(records...), copies_(records...) {}
    ~SavedRecords() { live_ = copies_; }
    SavedRecords(const SavedRecords&) = delete;
    SavedRecords& operator=(const SavedRecords&) = delete;

private:
    std::tuple<Record&...> live_;
    std::tuple<Record...> copies_;
};

}  // namespace testsupport
