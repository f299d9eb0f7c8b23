// The one reader of the reference tables (CSV with a header line): rows as
// column name -> text.
#pragma once

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

using Row = std::map<std::string, std::string>;

// Every row of the table at path (empty when it cannot be read), its cells
// split at `sep`; a missing cell reads as "".
inline std::vector<Row> read_csv(const std::string& path, char sep = ',') {
    std::vector<Row> rows;
    std::ifstream in(path);
    std::string line;
    std::vector<std::string> head;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::stringstream ss(line);
        std::string cell;
        while (std::getline(ss, cell, sep)) cells.push_back(cell);
        if (head.empty()) {
            head = cells;
            continue;
        }
        Row r;
        for (std::size_t i = 0; i < head.size(); ++i) r[head[i]] = i < cells.size() ? cells[i] : "";
        rows.push_back(r);
    }
    return rows;
}

// The number of a cell; NaN when it is missing or empty.
inline double num(const Row& r, const std::string& key) {
    const auto it = r.find(key);
    if (it == r.end() || it->second.empty()) return std::nan("");
    return std::stod(it->second);
}

}  // namespace testsupport
