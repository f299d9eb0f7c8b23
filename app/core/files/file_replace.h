// Replacing a file's contents safely: the text goes into a temporary file
// beside the target, which is then renamed over it. A failure at any step
// leaves the old file as it was and no temporary file behind.
//
// A symbolic link is followed: the file it leads to gets the text and the
// link stays. A target that is not a regular file (a folder, a device such
// as /dev/full, a pipe), or one the user may not write (read-only), is
// refused. A new file gets the mode the user's
// umask leaves of rw-rw-rw-; a replaced file keeps its permission bits but
// never a set-user-ID, set-group-ID or sticky bit. Temporaries are named
// ".<name>.kvr2tmp-<pid>-XXXXXX"; those of a program run that no longer
// runs (killed while writing) are removed before the next write of <name>.
#pragma once

#include <string>
#include <string_view>

namespace app {

// Writes `text` to `path` through a temporary file in the same folder.
// Returns true, or false with `reason` set to what failed (the system's
// text for the error, or why the target is refused).
bool replace_file_contents(const std::string& path, std::string_view text, std::string& reason);

// The file a path leads to after its symbolic links (the path itself when
// it is none, or a link that leads nowhere yet: the file the link would
// create). False, with `reason`, for a loop of links or a path too long.
bool resolve_link_target(const std::string& path, std::string& target, std::string& reason);

// Removes the temporaries of `path` left by program runs that no longer
// run; returns how many were removed.
int remove_stale_temporaries(const std::string& path);

// The prefix of the temporaries of `path`'s file name (".<name>.kvr2tmp-").
std::string temporary_prefix(const std::string& file_name);

}  // namespace app
