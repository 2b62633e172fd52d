#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "shared/platform/port.h"

namespace tlv {

// Has this file been rewritten since the last change was reported?  Each
// check compares the file's last-modified time with the one it had when the
// watch began or the last change was reported; nothing is held open between
// checks.  Only a change of the file's own time counts, never the clock's:
// a clock set back or the end of summer time loses no rewrite.
class ClsAutoconvert {
public:
    // Starts watching the file: its time now is the reference, so only later
    // writes count.  A path that is no existing file shows "Het pad " + path +
    // "klopt niet." and returns false, changing nothing.
    bool setfile(const std::string& strStreplaFile);

    // True exactly once for each rewrite: when the file's time differs from
    // the reference and does not lie in the clock's current second (a file
    // still being written in this second waits for a later check).  The
    // reference then moves to the file's time.  A program that saves by
    // deleting and recreating its file leaves it absent for a moment: an
    // absent file is "no change yet" until it has been absent for
    // kAbsentGrace; then it is failure 53 for the caller.
    bool CheckFile();

    // The watched path; empty until a setfile succeeded.
    const std::string& GetFile() const { return path_; }

    // Takes over the state of a watcher of the same path that this one
    // replaces, so that a rewrite the old one had not yet reported is not
    // lost; a watcher of another path changes nothing.
    void carry_over(const ClsAutoconvert& previous);

    static constexpr std::chrono::seconds kAbsentGrace{10};

private:
    // A file's time: to the second as the clock shows it, and to the
    // nanosecond where the platform tells (several writes in one second).
    struct Written {
        port::DateTime local;
        std::optional<int64_t> exact_ns;
        friend bool operator==(const Written&, const Written&) = default;
    };
    static std::optional<Written> written(const std::string& path);

    std::string path_;
    Written reference_{};
    std::optional<port::DateTime> absent_since_;
};

}  // namespace tlv
