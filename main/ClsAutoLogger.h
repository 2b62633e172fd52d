#pragma once

#include <string>

#include "main/ClsAutoconvert.h"

namespace tlv {

// Watches one logger's export file and starts the logger's program on it each
// time the file has been rewritten.  It offers the watcher's operations by
// forwarding them to an inner ClsAutoconvert.
class ClsAutoLogger {
public:
    // Registers the logger: its export file is watched from now on, its
    // program must exist.  Each missing path is shown ("Het pad ... klopt
    // niet."); the result is then false.
    bool setfile(const std::string& strOutputFile, const std::string& strProgramFile);

    // Starts the logger program (minimised, not waited for) when the export
    // file was rewritten since the last look.
    void CheckFile();

    bool ClsAutoconvert_CheckFile() { return watcher_.CheckFile(); }
    bool ClsAutoconvert_SetFile(const std::string& path) { return watcher_.setfile(path); }
    const std::string& ClsAutoconvert_GetFile() const { return watcher_.GetFile(); }

    // Takes over the watch of a logger with the same export file that this one replaces.
    void carry_over(const ClsAutoLogger& previous) { watcher_.carry_over(previous.watcher_); }

private:
    void StartLogger();

    ClsAutoconvert watcher_;
    std::string program_;
};

}  // namespace tlv
