#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "shared/platform/port.h"

namespace tlv::testing {

// The test adapter of the platform port.  Installs itself for its lifetime
// and restores the previous adapters afterwards.  It records every call,
// answers message boxes from a script, keeps a clock that only moves when a
// test (or a sleep) moves it, and passes file access on to the real file
// system unless a test has scripted a failure for a path.
class FakePlatform final : public port::MessageBoxes,
                           public port::Clock,
                           public port::FileSystem,
                           public port::Programs,
                           public port::SingleInstance {
public:
    struct Box {
        std::string text, title;
        int style;
    };
    struct Start {
        std::string command;
        port::WindowStyle style;
    };

    explicit FakePlatform(std::string folder, std::string title = "tolvane");
    ~FakePlatform() override;
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    // Message boxes: answered from `answers` in order, then with OK.
    std::vector<Box> boxes;
    std::deque<int> answers;
    int show(std::string_view text, std::string_view title, int style) override;

    // Clock: `time` is what now() returns; sleep() records and moves it on.
    port::DateTime time{2026, 12, 6, 9, 5, 7};
    std::vector<std::chrono::milliseconds> sleeps;
    std::function<void()> on_sleep;
    port::DateTime now() override { return time; }
    void sleep(std::chrono::milliseconds duration) override;

    // Programs: recorded; `start_failure` (when not 0) makes a start fail with it.
    std::vector<Start> starts;
    int start_failure = 0;
    void start(std::string_view command, port::WindowStyle style) override;

    bool other_copy = false;
    bool another_copy_runs(std::string_view, std::string_view) override { return other_copy; }

    // Files: scripted failures per path, each used `times` times (-1: always).
    void fail_reads(const std::string& path, int number, int times = -1);
    void fail_writes(const std::string& path, int number, int times = -1);
    int reads_of(const std::string& path) const;

    bool is_plain_file(std::string_view path) override;
    std::optional<uint64_t> file_size(std::string_view path) override;
    std::optional<port::DateTime> last_modified(std::string_view path) override;
    std::optional<port::FileStamp> stamp(std::string_view path) override;
    std::string read_all(std::string_view path) override;
    void replace(std::string_view path, std::string_view text) override;
    void append(std::string_view path, std::string_view text) override;

    port::Application application;

private:
    struct Scripted {
        int number;
        int times;
    };
    static void maybe_fail(std::map<std::string, Scripted>& script, std::string_view path);

    std::map<std::string, Scripted> read_failures_, write_failures_;
    std::map<std::string, int> reads_;
    port::Services previous_;
};

}  // namespace tlv::testing
