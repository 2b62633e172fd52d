#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The services a desktop platform provides, as small interfaces.  Each
// deliverable installs its adapters once at start-up; the logic reaches them
// only through the accessors below.  All texts and paths are Windows-1252.
// Nothing here is specific to one platform: the fallback adapter, the path
// separator and the library names come from the platform's adapter.
namespace tlv::port {

struct DateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    friend auto operator<=>(const DateTime&, const DateTime&) = default;
};

// Identifies one state of a file: any write, rename or replacement changes it.
struct FileStamp {
    uint64_t device = 0, inode = 0, size = 0;
    int64_t modified_ns = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// Message box styles and answers, with the Windows message box numbers.
enum class BoxStyle : int {
    Ok = 0,
    YesNo = 4,
    Critical = 16,
    Question = 36,     // Yes / No with the question mark
    ErrorReport = 54,  // exclamation, Cancel / Try Again / Continue
    Information = 64,
};
enum class Answer : int { Ok = 1, Cancel = 2, Yes = 6, No = 7, TryAgain = 10, Continue = 11 };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal box and returns the button chosen.
    virtual Answer show(std::string_view text, std::string_view title, BoxStyle style) = 0;
};

// The common file dialog, as the forms set it up.
struct FileDialog {
    enum class Kind { Open, Save };
    static constexpr int kCreatePrompt = 0x2000;  // ask before creating a file that does not exist

    Kind kind = Kind::Open;
    // "Description|*.ext|Description|*.ext"; a description without a pattern part is allowed.
    std::string filter;
    int filter_index = 1;
    int flags = 0;
    std::string file_name;  // the initial name
    friend bool operator==(const FileDialog&, const FileDialog&) = default;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The file name after the dialog: the chosen name, or after a cancel the
    // initial name unchanged (as the common dialog leaves it).
    virtual std::string show(const FileDialog& dialog) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() = 0;  // local time, to the second
    virtual void sleep(std::chrono::milliseconds duration) = 0;
};

// What a path names, as far as reading it is concerned.
enum class Presence { Missing, PlainFile, Hidden, NotRegular };

// File access.  Failures are tlv::Failure with the run-time number: 53 file
// not found, 76 path not found, 70 access refused, 61 disk full, 75 otherwise.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Missing only when nothing is there; a path that cannot be examined (a
    // folder that may not be searched, a link loop, a name too long) is a
    // failure (75, the system's text), never taken for a missing file.
    virtual Presence examine(std::string_view path) = 0;
    // True exactly for an existing regular file (links followed) whose name
    // does not begin with "."; false for folders, missing paths, a path
    // ending in the separator and a path that cannot be examined.
    virtual bool is_plain_file(std::string_view path) = 0;
    virtual std::optional<uint64_t> file_size(std::string_view path) = 0;
    // Local time, cut to whole seconds; empty when the file is missing.
    virtual std::optional<DateTime> last_modified(std::string_view path) = 0;
    // Empty when the file is missing or the platform cannot tell.
    virtual std::optional<FileStamp> stamp(std::string_view) { return std::nullopt; }
    // A regular file, read up to the size it had when it was opened; anything
    // else (a folder, a pipe, a device) and a file larger than `most` bytes
    // are refused with 75, without reading.
    virtual std::string read_all(std::string_view path, uint64_t most) = 0;
    // The refusal read_all raises for a file larger than `most` bytes.
    [[noreturn]] static void refuse_too_large(uint64_t most);
    // Writes the text to a temporary file in the same folder and renames it
    // over the target: on failure the old file is left as it was.  A target
    // that exists but is no regular file (a device, a pipe) is refused with
    // 75, a read-only one with 70, and so is a link another user placed in a
    // shared folder (sticky and writable by all), on the way to the target:
    // such a link is never followed.
    virtual void replace(std::string_view path, std::string_view text) = 0;
    // Appends to an existing file (links followed as for replace); on failure
    // the file keeps its old length.
    virtual void append(std::string_view path, std::string_view text) = 0;
    // Why the settings kept in this file must not be trusted: the file or its
    // folder belongs to another user or another user may change it; empty
    // when only the user (or the system) can.
    virtual std::string foreign_writer(std::string_view) { return {}; }
};

struct Application {
    std::string folder;  // the running deliverable's folder
    std::string title;   // its program name
    // Where the settings file and the error log live: the program's folder,
    // or (empty here) when the user cannot write there, a folder of the user's.
    std::string settings_folder;
};
// The application's settings folder: settings_folder, or else its folder.
std::string settings_folder();

enum class WindowStyle { Hidden = 0, Normal = 1, MinimizedFocus = 2 };

class Programs {
public:
    virtual ~Programs() = default;
    // Starts exactly this program file (a relative name is taken from the
    // current folder, never searched for) with these arguments, detached and
    // not waited for, without a shell.  A program that cannot be started is
    // a failure: 53 when missing, 70 when not allowed to run.
    virtual void start(std::string_view program, const std::vector<std::string>& arguments,
                       WindowStyle style) = 0;
};

class SingleInstance {
public:
    virtual ~SingleInstance() = default;
    // True when another copy of the named program in the same folder runs
    // for the same user; a copy of another user never counts.  Otherwise this
    // process holds the claim until it ends (also when it crashes).
    virtual bool another_copy_runs(std::string_view program, std::string_view folder) = 0;
    // Asks the copy that another_copy_runs found to show its window; false
    // when it could not be asked.
    virtual bool ask_to_show() { return false; }
    // The claim holder's side: a handle that becomes readable when a request
    // may be waiting (-1 when there is none to watch), and the requests taken
    // from it: true when one of them was a show request of the same user.
    virtual int request_handle() { return -1; }
    virtual bool take_show_request() { return false; }
};

// The tray icon record: what the 88-byte notify-icon record of the Windows
// shell carries, without the window handle.
enum class TrayCommand { Add = 0, Modify = 1, Delete = 2 };
enum class TrayPicture { WindowIcon, Busy };
struct NotifyIconData {
    static constexpr int kTipLength = 64;
    uint32_t uID = 1;
    uint32_t uFlags = 7;              // message, icon and tip are valid
    uint32_t uCallbackMessage = 512;  // the mouse-move message
    TrayPicture hIcon = TrayPicture::WindowIcon;
    std::string szTip;  // at most kTipLength characters
};
// Mouse codes a tray icon delivers to its owner.
namespace tray_mouse {
inline constexpr int kLeftButtonUp = 514;
inline constexpr int kLeftDoubleClick = 515;
inline constexpr int kRightButtonUp = 517;
}  // namespace tray_mouse

class TrayIcons {
public:
    virtual ~TrayIcons() = default;
    // Adds, changes or removes the one icon; true when the platform took the command.
    virtual bool notify(TrayCommand command, const NotifyIconData& data) = 0;
    // The icon's owner: receives the mouse codes above.
    virtual void set_mouse_handler(std::function<void(int code)> handler) = 0;
};

enum class HelpCommand { Contents = 1, Index = 2, Topic = 15 };

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Opens the help file (its path as the program sets it, with ">window"
    // appended for a named window) at its contents, its index or a topic by
    // context number.  A viewer that cannot run is a failure.
    virtual void show(std::string_view help_file, HelpCommand command, int32_t context) = 0;
};

struct Services {
    MessageBoxes* message_boxes = nullptr;
    FileDialogs* file_dialogs = nullptr;
    Clock* clock = nullptr;
    FileSystem* files = nullptr;
    Application* application = nullptr;
    Programs* programs = nullptr;
    SingleInstance* single_instance = nullptr;
    TrayIcons* tray = nullptr;
    HelpViewer* help = nullptr;
};

// The installed services; unset entries fall back to the platform's console
// adapter (file dialogs, tray and help to the headless ones).
Services installed();
// Installs the given services (null entries keep the current ones) and
// returns the previous set, so that a caller can restore it.
Services install(const Services& services);
void restore(const Services& previous);

MessageBoxes& message_boxes();
FileDialogs& file_dialogs();
Clock& clock();
FileSystem& files();
Application& application();
Programs& programs();
SingleInstance& single_instance();
TrayIcons& tray();
HelpViewer& help();

// The file name of the program of this name ("tolvane.exe" on Windows).
std::string program_file_name(std::string_view name);

// The platform's path separator, and folder + separator + name.
char separator();
std::string join_path(std::string_view folder, std::string_view name);
// The folder part of a path, its last separator included ("" for a bare name).
// On Windows "/" separates too.
std::string folder_of(std::string_view path);

}  // namespace tlv::port
