#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "shared/codec.h"
#include "shared/failure.h"
#include "shared/modInstellingen.h"
#include "shared/platform/native.h"
#include "shared/platform/port.h"
#include "tests/support/temp_folder.h"

namespace tlv {
using ::testing::HasSubstr;
}  // namespace tlv

// The test adapter of the platform port: one small fake per service, and
// FakePlatform, which installs them all for its lifetime.
namespace tlv::testing {

// The text of the box that an error report shows.
inline std::string error_box(std::string_view message) {
    return "De volgende fout is opgetreden\r\n" + std::string(message);
}

// Every box a test expects is scripted with its answer, and with its text (and title and style)
// where the test gives them; a box nobody scripted fails the test (and gets the safe answer,
// Cancel), and so does a scripted box that never showed.
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

    ~FakeMessageBoxes() override {
        EXPECT_TRUE(script_.empty()) << script_.size() << " scripted box(es) never shown";
    }
    void expect(int count = 1, port::Answer answer = port::Answer::Ok) {
        script_.insert(script_.end(), static_cast<size_t>(count), Scripted{{}, false, answer});
    }
    void expect(std::string text, port::Answer answer = port::Answer::Ok) {
        script_.push_back({Box{std::move(text), {}, {}}, false, answer});
    }
    void expect(Box box, port::Answer answer = port::Answer::Ok) {
        script_.push_back({std::move(box), true, answer});
    }
    port::Answer show(std::string_view text, std::string_view title,
                      port::BoxStyle style) override {
        shown.push_back({std::string(text), std::string(title), style});
        if (on_show) std::exchange(on_show, nullptr)();
        if (script_.empty()) {
            ADD_FAILURE() << "unscripted message box \"" << codec::to_utf8(title)
                          << "\": " << codec::to_utf8(text);
            return port::Answer::Cancel;
        }
        Scripted next = std::move(script_.front());
        script_.pop_front();
        if (next.whole) {
            EXPECT_EQ(shown.back(), *next.box);
        } else if (next.box) {
            EXPECT_EQ(text, next.box->text);
        }
        return next.answer;
    }

private:
    struct Scripted {
        std::optional<Box> box;
        bool whole;  // title and style too
        port::Answer answer;
    };
    std::deque<Scripted> script_;
};

// Every dialog is scripted with the name chosen, or a cancel; an unscripted
// dialog fails the test and is cancelled.
class FakeFileDialogs final : public port::FileDialogs {
public:
    std::vector<port::FileDialog> shown;
    void choose(std::string name) { script_.emplace_back(std::move(name)); }
    void cancel() { script_.emplace_back(std::nullopt); }
    std::string show(const port::FileDialog& dialog) override {
        shown.push_back(dialog);
        if (script_.empty()) {
            ADD_FAILURE() << "unscripted file dialog for " << codec::to_utf8(dialog.file_name);
            return dialog.file_name;
        }
        std::optional<std::string> answer = std::move(script_.front());
        script_.pop_front();
        return answer.value_or(dialog.file_name);
    }

private:
    std::deque<std::optional<std::string>> script_;
};

// Moves only when a test (or a sleep) moves it.
class FakeClock final : public port::Clock {
public:
    std::vector<std::chrono::milliseconds> sleeps;

    void set(const port::DateTime& t) {
        using namespace std::chrono;
        now_ = sys_days{year{t.year} / t.month / t.day} + hours{t.hour} + minutes{t.minute} +
               seconds{t.second};
    }
    void advance(std::chrono::seconds seconds) { now_ += seconds; }
    port::DateTime now() override {
        using namespace std::chrono;
        const sys_days day = floor<days>(now_);
        const year_month_day d{day};
        const hh_mm_ss t{now_ - day};
        return {int(d.year()),          int(unsigned(d.month())), int(unsigned(d.day())),
                int(t.hours().count()), int(t.minutes().count()), int(t.seconds().count())};
    }
    void sleep(std::chrono::milliseconds duration) override {
        sleeps.push_back(duration);
        now_ += std::chrono::duration_cast<std::chrono::seconds>(duration);
    }

private:
    std::chrono::sys_seconds now_;
};

// The real file system, with scripted failures per path (each used `times`
// times, -1: always) and scripted last-modified times.
class FakeFiles final : public port::FileSystem {
public:
    void fail_reads(const std::string& path, int number, int times = -1) {
        failures_[{path, false}] = {number, times};
    }
    void fail_writes(const std::string& path, int number, int times = -1) {
        failures_[{path, true}] = {number, times};
    }
    void set_modified(const std::string& path, std::optional<port::DateTime> time) {
        modified_[path] = time;
    }
    std::map<std::string, int> writes;  // by path

    bool is_plain_file(std::string_view path) override { return real().is_plain_file(path); }
    std::optional<uint64_t> file_size(std::string_view p) override { return real().file_size(p); }
    std::optional<port::FileStamp> stamp(std::string_view p) override { return real().stamp(p); }
    std::optional<port::DateTime> last_modified(std::string_view path) override {
        auto scripted = modified_.find(std::string(path));
        return scripted != modified_.end() ? scripted->second : real().last_modified(path);
    }
    port::Presence examine(std::string_view path) override { return real().examine(path); }
    std::string read_all(std::string_view path, uint64_t most) override {
        maybe_fail(path, false);
        return real().read_all(path, most);
    }
    void replace(std::string_view path, std::string_view text) override {
        maybe_fail(path, true);
        real().replace(path, text);
    }
    void append(std::string_view path, std::string_view text) override {
        maybe_fail(path, true);
        real().append(path, text);
    }
    std::string foreign_writer(std::string_view p) override { return real().foreign_writer(p); }

private:
    void maybe_fail(std::string_view path, bool writing) {
        if (writing) ++writes[std::string(path)];
        auto found = failures_.find({std::string(path), writing});
        if (found == failures_.end() || found->second.second == 0) return;
        if (found->second.second > 0) --found->second.second;
        raise(found->second.first);
    }
    static port::FileSystem& real() { return port::native::file_system(); }

    std::map<std::pair<std::string, bool>, std::pair<int, int>> failures_;  // number, times
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
               port::WindowStyle style) override {
        if (failure != 0) raise(failure);
        started.push_back({std::string(program), arguments, style});
    }
};
using Starts = std::vector<FakePrograms::Start>;

class FakeInstance final : public port::SingleInstance {
public:
    bool other_copy = false;
    int show_requests = 0;
    bool another_copy_runs(std::string_view, std::string_view) override { return other_copy; }
    bool ask_to_show() override { return ++show_requests, true; }
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
    bool notify(port::TrayCommand command, const port::NotifyIconData& data) override {
        calls.push_back({command, data});
        return available;
    }
    void set_mouse_handler(std::function<void(int)> handler) override {
        handler_ = std::move(handler);
    }
    void mouse(int code) {
        ASSERT_TRUE(handler_) << "no owner for the tray icon's mouse codes";
        handler_(code);
    }

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
    void show(std::string_view file, port::HelpCommand command, int32_t context) override {
        if (failure != 0) raise(failure);
        calls.push_back({std::string(file), command, context});
    }
};
using HelpCalls = std::vector<FakeHelp::Call>;

// The clock starts at 6-12-2026 09:05:07.  The shared settings object belongs
// to a program folder: none is cached when the platform comes or goes.
class FakePlatform {
public:
    explicit FakePlatform(std::string folder, std::string title = "tolvane")
        : application{std::move(folder), std::move(title), {}} {
        InstellingenVrijgeven();
        clock.set({2026, 12, 6, 9, 5, 7});
        previous_ = port::install({.message_boxes = &boxes,
                                   .file_dialogs = &dialogs,
                                   .clock = &clock,
                                   .files = &files,
                                   .application = &application,
                                   .programs = &programs,
                                   .single_instance = &instance,
                                   .tray = &tray,
                                   .help = &help});
    }
    ~FakePlatform() {
        InstellingenVrijgeven();
        port::restore(previous_);
    }
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

// A test in a fresh folder that is also the program's folder, under the fakes.
class InFolder : public ::testing::Test {
protected:
    TempFolder folder;
    FakePlatform platform{folder.path()};
};

}  // namespace tlv::testing
