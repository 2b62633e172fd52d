#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "shared/platform/port.h"

// The test adapter of the platform port: one small fake per service, and
// FakePlatform, which installs them all for its lifetime.
namespace tlv::testing {

// Every box a test expects is scripted with its answer; a box nobody
// scripted fails the test (and gets the safe answer, Cancel).
class FakeMessageBoxes final : public port::MessageBoxes {
public:
    struct Box {
        std::string text, title;
        port::BoxStyle style;
        friend bool operator==(const Box&, const Box&) = default;
    };
    std::vector<Box> shown;
    // Runs while a box is up, as events arriving in its own event loop would.
    std::function<void()> on_show;
    void expect(int count = 1, port::Answer answer = port::Answer::Ok);
    port::Answer show(std::string_view text, std::string_view title, port::BoxStyle style) override;

private:
    std::deque<port::Answer> script_;
};

// Every dialog is scripted with the name chosen, or a cancel; an unscripted
// dialog fails the test and is cancelled.
class FakeFileDialogs final : public port::FileDialogs {
public:
    std::vector<port::FileDialog> shown;
    void choose(std::string name) { script_.emplace_back(std::move(name)); }
    void cancel() { script_.emplace_back(std::nullopt); }
    std::string show(const port::FileDialog& dialog) override;

private:
    std::deque<std::optional<std::string>> script_;
};

// Moves only when a test (or a sleep) moves it.
class FakeClock final : public port::Clock {
public:
    std::vector<std::chrono::milliseconds> sleeps;
    std::function<void()> on_sleep;
    void set(const port::DateTime& time);
    void advance(std::chrono::seconds seconds) { now_ += seconds; }
    port::DateTime now() override;
    void sleep(std::chrono::milliseconds duration) override;

private:
    std::chrono::sys_seconds now_;
};

// The real file system, with scripted failures per path (each used `times`
// times, -1: always) and scripted last-modified times.
class FakeFiles final : public port::FileSystem {
public:
    void fail_reads(const std::string& path, int number, int times = -1) {
        read_failures_[path] = {number, times};
    }
    void fail_writes(const std::string& path, int number, int times = -1) {
        write_failures_[path] = {number, times};
    }
    void set_modified(const std::string& path, std::optional<port::DateTime> time) {
        modified_[path] = time;
    }
    std::map<std::string, int> reads, writes;  // by path

    bool is_plain_file(std::string_view path) override { return real().is_plain_file(path); }
    std::optional<uint64_t> file_size(std::string_view path) override {
        return real().file_size(path);
    }
    std::optional<port::FileStamp> stamp(std::string_view path) override {
        return real().stamp(path);
    }
    std::optional<port::DateTime> last_modified(std::string_view path) override;
    std::string read_all(std::string_view path) override;
    void replace(std::string_view path, std::string_view text) override;
    void append(std::string_view path, std::string_view text) override;

private:
    struct Scripted {
        int number;
        int times;
    };
    static void maybe_fail(std::map<std::string, Scripted>& script, std::string_view path);
    static port::FileSystem& real();

    std::map<std::string, Scripted> read_failures_, write_failures_;
    std::map<std::string, std::optional<port::DateTime>> modified_;
};

// Records the starts; `failure` (when not 0) makes a start fail with it.
class FakePrograms final : public port::Programs {
public:
    struct Start {
        std::string program;
        std::vector<std::string> arguments;
        port::WindowStyle style;
        friend bool operator==(const Start&, const Start&) = default;
    };
    std::vector<Start> started;
    int failure = 0;
    void start(std::string_view program, const std::vector<std::string>& arguments,
               port::WindowStyle style) override;
};

class FakeInstance final : public port::SingleInstance {
public:
    bool other_copy = false;
    bool another_copy_runs(std::string_view, std::string_view) override { return other_copy; }
};

// Records the commands; mouse() delivers a code to the icon's owner.
class FakeTray final : public port::TrayIcons {
public:
    struct Call {
        port::TrayCommand command;
        port::NotifyIconData data;
    };
    std::vector<Call> calls;
    bool available = true;  // false: a desktop without a system tray
    bool notify(port::TrayCommand command, const port::NotifyIconData& data) override;
    void set_mouse_handler(std::function<void(int)> handler) override {
        handler_ = std::move(handler);
    }
    void mouse(int code);

private:
    std::function<void(int)> handler_;
};

class FakeHelp final : public port::HelpViewer {
public:
    struct Call {
        std::string file;
        port::HelpCommand command;
        int32_t context;
        friend bool operator==(const Call&, const Call&) = default;
    };
    std::vector<Call> calls;
    int failure = 0;
    void show(std::string_view file, port::HelpCommand command, int32_t context) override;
};

class FakePlatform {
public:
    explicit FakePlatform(std::string folder, std::string title = "tolvane");
    ~FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    FakeMessageBoxes boxes;
    FakeFileDialogs dialogs;
    FakeClock clock;
    FakeFiles files;
    FakePrograms programs;
    FakeInstance instance;
    FakeTray tray;
    FakeHelp help;
    port::Application application;

private:
    port::Services previous_;
};

}  // namespace tlv::testing
