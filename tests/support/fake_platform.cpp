#include "tests/support/fake_platform.h"

#include "shared/failure.h"
#include "shared/platform/posix.h"

namespace tlv::testing {

FakePlatform::FakePlatform(std::string folder, std::string title)
    : application{std::move(folder), std::move(title)} {
    previous_ = port::install({this, this, this, &application, this, this});
}

FakePlatform::~FakePlatform() { port::restore(previous_); }

int FakePlatform::show(std::string_view text, std::string_view title, int style) {
    boxes.push_back({std::string(text), std::string(title), style});
    if (answers.empty()) return port::mb::kAnswerOk;
    int answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakePlatform::sleep(std::chrono::milliseconds duration) {
    sleeps.push_back(duration);
    auto total = std::chrono::duration_cast<std::chrono::seconds>(duration).count();
    time.second += static_cast<int>(total);
    while (time.second >= 60) {
        time.second -= 60;
        ++time.minute;
    }
    if (on_sleep) on_sleep();
}

void FakePlatform::start(std::string_view command, port::WindowStyle style) {
    if (start_failure != 0) raise(start_failure);
    starts.push_back({std::string(command), style});
}

void FakePlatform::fail_reads(const std::string& path, int number, int times) {
    read_failures_[path] = {number, times};
}

void FakePlatform::fail_writes(const std::string& path, int number, int times) {
    write_failures_[path] = {number, times};
}

int FakePlatform::reads_of(const std::string& path) const {
    auto found = reads_.find(path);
    return found == reads_.end() ? 0 : found->second;
}

void FakePlatform::maybe_fail(std::map<std::string, Scripted>& script, std::string_view path) {
    auto found = script.find(std::string(path));
    if (found == script.end() || found->second.times == 0) return;
    if (found->second.times > 0) --found->second.times;
    raise(found->second.number);
}

bool FakePlatform::is_plain_file(std::string_view path) {
    return port::posix::file_system().is_plain_file(path);
}

std::optional<uint64_t> FakePlatform::file_size(std::string_view path) {
    return port::posix::file_system().file_size(path);
}

std::optional<port::DateTime> FakePlatform::last_modified(std::string_view path) {
    return port::posix::file_system().last_modified(path);
}

std::optional<port::FileStamp> FakePlatform::stamp(std::string_view path) {
    return port::posix::file_system().stamp(path);
}

std::string FakePlatform::read_all(std::string_view path) {
    ++reads_[std::string(path)];
    maybe_fail(read_failures_, path);
    return port::posix::file_system().read_all(path);
}

void FakePlatform::replace(std::string_view path, std::string_view text) {
    maybe_fail(write_failures_, path);
    port::posix::file_system().replace(path, text);
}

void FakePlatform::append(std::string_view path, std::string_view text) {
    maybe_fail(write_failures_, path);
    port::posix::file_system().append(path, text);
}

}  // namespace tlv::testing
