#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "shared/platform/port.h"

namespace tlv {

// Has this file been rewritten since the last change was reported?  Each
// check compares the file's last-modified time with a reference time, both
// local and to the second; nothing is held open between checks.
class ClsAutoconvert {
public:
    // Starts watching the file: the reference time becomes now, so only later
    // writes count.  A path that is no existing file shows "Het pad " + path +
    // "klopt niet." and returns false, changing nothing.
    bool setfile(const std::string& strStreplaFile);

    // True exactly once for each rewrite: when the file's time lies after the
    // reference time and before now (a file still being written in this second
    // waits for a later check).  The reference time then moves to the file's
    // own time.  A program that saves by deleting and recreating its file
    // leaves it absent for a moment: an absent file is "no change yet" until
    // it has been absent for kAbsentGrace; then it is failure 53 for the caller.
    bool CheckFile();

    // The watched path; empty until a setfile succeeded.
    const std::string& GetFile() const { return path_; }

    // Takes over the state of a watcher of the same path that this one
    // replaces, so that a rewrite the old one had not yet reported is not
    // lost; a watcher of another path changes nothing.
    void carry_over(const ClsAutoconvert& previous);

    static constexpr std::chrono::seconds kAbsentGrace{10};

private:
    std::string path_;
    port::DateTime reference_{};  // zero: earlier than any file time
    std::optional<port::DateTime> absent_since_;
};

}  // namespace tlv
