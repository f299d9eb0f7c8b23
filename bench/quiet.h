// Standard output sent to /dev/null while a QuietStdout lives (batch mode
// reports every part and step of the calculations the benchmarks run).
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace benchsupport {

class QuietStdout {
public:
    QuietStdout() : saved_(dup(STDOUT_FILENO)) {
        std::fflush(stdout);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        close(null);
    }
    ~QuietStdout() {
        std::fflush(stdout);
        dup2(saved_, STDOUT_FILENO);
        close(saved_);
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int saved_;
};

}  // namespace benchsupport
