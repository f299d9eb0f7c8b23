// Replacing a file's contents through a temporary file and a rename.
#include "app/core/files/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace app {
namespace {

// Permission bits of a new file: those of the file replaced, else what the
// user's umask leaves of rw-rw-rw-.
mode_t new_file_mode(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool write_all(int fd, std::string_view text) {
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool replace_file_contents(const std::string& path, std::string_view text, std::string& reason) {
    std::filesystem::path target(path);
    std::filesystem::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    std::string temp = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    bool ok = write_all(fd, text) && ::fchmod(fd, new_file_mode(path)) == 0 && ::fsync(fd) == 0;
    int err = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        reason = std::strerror(err);
    }
    return ok;
}

}  // namespace app
