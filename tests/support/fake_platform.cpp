#include "tests/support/fake_platform.h"

#include <gtest/gtest.h>

#include <utility>

#include "shared/codec.h"
#include "shared/failure.h"
#include "shared/platform/native.h"

namespace tlv::testing {

using namespace std::chrono;

void FakeMessageBoxes::expect(int count, port::Answer answer) {
    script_.insert(script_.end(), static_cast<size_t>(count), answer);
}

port::Answer FakeMessageBoxes::show(std::string_view text, std::string_view title,
                                    port::BoxStyle style) {
    shown.push_back({std::string(text), std::string(title), style});
    if (on_show) std::exchange(on_show, nullptr)();
    if (script_.empty()) {
        ADD_FAILURE() << "unscripted message box \"" << codec::to_utf8(title)
                      << "\": " << codec::to_utf8(text);
        return port::Answer::Cancel;
    }
    port::Answer answer = script_.front();
    script_.pop_front();
    return answer;
}

std::string FakeFileDialogs::show(const port::FileDialog& dialog) {
    shown.push_back(dialog);
    if (script_.empty()) {
        ADD_FAILURE() << "unscripted file dialog for " << codec::to_utf8(dialog.file_name);
        return dialog.file_name;
    }
    std::optional<std::string> answer = std::move(script_.front());
    script_.pop_front();
    return answer ? *answer : dialog.file_name;
}

void FakeClock::set(const port::DateTime& t) {
    now_ = sys_days{year{t.year} / t.month / t.day} + hours{t.hour} + minutes{t.minute} +
           seconds{t.second};
}

port::DateTime FakeClock::now() {
    sys_days day = floor<days>(now_);
    year_month_day date{day};
    hh_mm_ss time{now_ - day};
    return {static_cast<int>(date.year()),
            static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())),
            static_cast<int>(time.hours().count()),
            static_cast<int>(time.minutes().count()),
            static_cast<int>(time.seconds().count())};
}

void FakeClock::sleep(milliseconds duration) {
    sleeps.push_back(duration);
    now_ += duration_cast<seconds>(duration);
    if (on_sleep) on_sleep();
}

port::FileSystem& FakeFiles::real() { return port::native::file_system(); }

void FakeFiles::maybe_fail(std::map<std::string, Scripted>& script, std::string_view path) {
    auto found = script.find(std::string(path));
    if (found == script.end() || found->second.times == 0) return;
    if (found->second.times > 0) --found->second.times;
    raise(found->second.number);
}

std::optional<port::DateTime> FakeFiles::last_modified(std::string_view path) {
    auto scripted = modified_.find(std::string(path));
    if (scripted != modified_.end()) return scripted->second;
    return real().last_modified(path);
}

std::string FakeFiles::read_all(std::string_view path) {
    ++reads[std::string(path)];
    maybe_fail(read_failures_, path);
    return real().read_all(path);
}

void FakeFiles::replace(std::string_view path, std::string_view text) {
    ++writes[std::string(path)];
    maybe_fail(write_failures_, path);
    real().replace(path, text);
}

void FakeFiles::append(std::string_view path, std::string_view text) {
    ++writes[std::string(path)];
    maybe_fail(write_failures_, path);
    real().append(path, text);
}

void FakePrograms::start(std::string_view program, const std::vector<std::string>& arguments,
                         port::WindowStyle style) {
    if (failure != 0) raise(failure);
    started.push_back({std::string(program), arguments, style});
}

bool FakeTray::notify(port::TrayCommand command, const port::NotifyIconData& data) {
    calls.push_back({command, data});
    return available;
}

void FakeTray::mouse(int code) {
    ASSERT_TRUE(handler_) << "no owner for the tray icon's mouse codes";
    handler_(code);
}

void FakeHelp::show(std::string_view file, port::HelpCommand command, int32_t context) {
    if (failure != 0) raise(failure);
    calls.push_back({std::string(file), command, context});
}

FakePlatform::FakePlatform(std::string folder, std::string title)
    : application{std::move(folder), std::move(title), {}} {
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

FakePlatform::~FakePlatform() { port::restore(previous_); }

}  // namespace tlv::testing
