// Runs a shell command for the end-to-end tests: the program as a user
// starts it, its standard output and error together, and its exit status.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace testsupport {

struct Outcome {
    std::string out;  // standard output and error together
    int status = -1;  // exit status, -1 when it did not exit normally
};

// The command run by the shell in `cwd`.
inline Outcome shell(const std::string& command, const std::filesystem::path& cwd) {
    const std::string cmd = "cd '" + cwd.string() + "' && " + command + " 2>&1";
    Outcome r;
    std::FILE* pipe = popen(cmd.c_str(), "r");
    if (pipe == nullptr) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
    const int st = pclose(pipe);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

}  // namespace testsupport
