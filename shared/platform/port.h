#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The services a desktop platform provides, as small interfaces.  Each
// deliverable installs its adapters once at start-up; the logic reaches them
// only through the accessors below.  All texts and paths are Windows-1252.
namespace tlv::port {

struct DateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

// Identifies one state of a file: any write, rename or replacement changes it.
struct FileStamp {
    uint64_t device = 0, inode = 0, size = 0;
    int64_t modified_ns = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// Message box styles and answers, as the Windows message box numbers them.
namespace mb {
inline constexpr int kOk = 0;
inline constexpr int kYesNo = 4;
inline constexpr int kInformation = 64;
inline constexpr int kErrorReport = 54;  // exclamation, Cancel / Try Again / Continue
inline constexpr int kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7;
inline constexpr int kAnswerTryAgain = 10, kAnswerContinue = 11;
}  // namespace mb

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal box and returns the button chosen.
    virtual int show(std::string_view text, std::string_view title, int style) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() = 0;  // local time, to the second
    virtual void sleep(std::chrono::milliseconds duration) = 0;
};

// File access.  Failures are tlv::Failure with the run-time number: 53 file
// not found, 76 path not found, 70 access refused, 61 disk full, 75 otherwise.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True exactly for an existing regular file (links followed) whose name
    // does not begin with "."; false for folders, missing paths, a path
    // ending in the separator and a path that cannot be examined.
    virtual bool is_plain_file(std::string_view path) = 0;
    virtual std::optional<uint64_t> file_size(std::string_view path) = 0;
    virtual std::optional<DateTime> last_modified(std::string_view path) = 0;
    // Empty when the file is missing or the platform cannot tell.
    virtual std::optional<FileStamp> stamp(std::string_view) { return std::nullopt; }
    virtual std::string read_all(std::string_view path) = 0;
    // Writes the text to a temporary file in the same folder and renames it
    // over the target: on failure the old file is left as it was.
    virtual void replace(std::string_view path, std::string_view text) = 0;
    // Appends to an existing file; on failure the file keeps its old length.
    virtual void append(std::string_view path, std::string_view text) = 0;
};

struct Application {
    std::string folder;  // the running deliverable's folder
    std::string title;   // its program name
};

enum class WindowStyle { Hidden = 0, Normal = 1, MinimizedFocus = 2 };

class Programs {
public:
    virtual ~Programs() = default;
    // Starts the program of a command text (Windows command-line rules: double
    // quotes group and are dropped), detached and not waited for; no shell.
    // A program that cannot be started is a failure (53 when missing).
    virtual void start(std::string_view command, WindowStyle style) = 0;
};

class SingleInstance {
public:
    virtual ~SingleInstance() = default;
    // True when another copy of the named program in the same folder runs.
    // Holds the claim for this process until it ends (also when it crashes).
    virtual bool another_copy_runs(std::string_view program, std::string_view folder) = 0;
};

struct Services {
    MessageBoxes* message_boxes = nullptr;
    Clock* clock = nullptr;
    FileSystem* files = nullptr;
    Application* application = nullptr;
    Programs* programs = nullptr;
    SingleInstance* single_instance = nullptr;
};

// The installed services; unset entries fall back to the POSIX/console adapter.
Services installed();
// Installs the given services (null entries keep the current ones) and
// returns the previous set, so that a caller can restore it.
Services install(const Services& services);
void restore(const Services& previous);

MessageBoxes& message_boxes();
Clock& clock();
FileSystem& files();
Application& application();
Programs& programs();
SingleInstance& single_instance();

// folder + separator + name.
std::string join_path(std::string_view folder, std::string_view name);

}  // namespace tlv::port
