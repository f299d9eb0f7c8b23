// Helper of the tests that read files the program wrote or ships.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace filetest {

// The whole file as it is on disk; "" when it cannot be read.
inline std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace filetest
