// Replacing a file's contents through a temporary file and a rename.
#include "app/core/files/file_replace.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>

namespace app {
namespace {

namespace fs = std::filesystem;

// Links followed before a path counts as a loop (the kernel's own limit).
constexpr int MAX_LINKS = 40;

// Permission bits of the file written: those of the regular file replaced
// without the special bits, else what the user's umask leaves of rw-rw-rw-.
mode_t new_file_mode(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 0777;
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

// Why the existing file at `path` (links followed) cannot be replaced; ""
// when it can or when there is none.
std::string refusal(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? "" : std::strerror(errno);
    if (S_ISDIR(st.st_mode)) return "it is a folder";
    if (!S_ISREG(st.st_mode)) return "it is not a regular file (a device, a pipe or a socket)";
    // The rename would replace a file that the user may not write (marked
    // read-only, or another user's), as writing it in place would not.
    if (::access(path.c_str(), W_OK) != 0) return std::strerror(errno);
    return "";
}

bool process_runs(long pid) {
    if (pid <= 0 || pid > 0x3fffffff) return false;
    if (pid == static_cast<long>(::getpid())) return true;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Writes the temporary and renames it over `target`; `reason` on failure.
bool write_through_temporary(const std::string& target, std::string_view text,
                             std::string& reason) {
    fs::path t(target);
    fs::path dir = t.parent_path();
    if (dir.empty()) dir = ".";
    std::string temp =
        (dir / (temporary_prefix(t.filename().string()) + std::to_string(::getpid()) + "-XXXXXX"))
            .string();
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    bool ok = write_all(fd, text) && ::fchmod(fd, new_file_mode(target)) == 0 && ::fsync(fd) == 0;
    int err = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        reason = std::strerror(err);
    }
    return ok;
}

}  // namespace

std::string temporary_prefix(const std::string& file_name) { return "." + file_name + ".kvr2tmp-"; }

bool resolve_link_target(const std::string& path, std::string& target, std::string& reason) {
    fs::path at(path);
    for (int n = 0; n <= MAX_LINKS; ++n) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = at.string();
            return true;
        }
        std::error_code ec;
        fs::path next = fs::read_symlink(at, ec);
        if (ec) {
            reason = ec.message();
            return false;
        }
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    reason = std::strerror(ELOOP);
    return false;
}

int remove_stale_temporaries(const std::string& path) {
    fs::path t(path);
    fs::path dir = t.parent_path();
    if (dir.empty()) dir = ".";
    const std::string prefix = temporary_prefix(t.filename().string());
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return 0;
    int removed = 0;
    while (const dirent* e = ::readdir(d)) {
        std::string_view name = e->d_name;
        if (name.substr(0, prefix.size()) != prefix) continue;
        std::string_view rest = name.substr(prefix.size());  // "<pid>-XXXXXX"
        long pid = 0;
        auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
        const std::size_t digits = static_cast<std::size_t>(end - rest.data());
        if (ec != std::errc() || digits == 0 || rest.size() != digits + 7 || rest[digits] != '-')
            continue;
        if (process_runs(pid)) continue;
        const fs::path stale = dir / std::string(name);
        struct stat st {};
        if (::lstat(stale.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid() &&
            ::unlink(stale.c_str()) == 0)
            ++removed;
    }
    ::closedir(d);
    return removed;
}

bool replace_file_contents(const std::string& path, std::string_view text, std::string& reason) {
    std::string target;
    if (!resolve_link_target(path, target, reason)) return false;
    if (std::string why = refusal(target); !why.empty()) {
        reason = why;
        return false;
    }
    remove_stale_temporaries(target);
    return write_through_temporary(target, text, reason);
}

}  // namespace app
