#include "conversion/ClsParse.h"

#include <chrono>
#include <cstring>

#include "conversion/ClsWrite.h"
#include "shared/ClsError.h"
#include "shared/failure.h"
#include "shared/int16.h"
#include "shared/list_input.h"
#include "shared/modDirCheck.h"
#include "shared/platform/port.h"
#include "shared/text.h"

namespace tlv {
namespace {

constexpr int16_t kMaxRetries = 4;
constexpr std::chrono::seconds kRetryWait{2};

// The working text of a file, or "" when nothing is there.  A path that
// holds something else than a plain file, or that cannot be examined, must
// not pass for a missing file and empty the text file.
std::string read_working_text(const std::string& path) {
    if (!DirCheck(path)) {
        switch (port::files().examine(path)) {
            case port::Presence::Missing:
                return {};
            case port::Presence::Hidden:
                raise(err::kPathFileAccess, "Hidden file");
            case port::Presence::NotRegular:
                raise(err::kPathFileAccess, "Not a regular file");
            case port::Presence::PlainFile:
                break;
        }
    }
    // In its own buffer.
    return ClsParse::working_text(port::files().read_all(path, ClsParse::kMostExchangeBytes));
}

// Moves an item to `to`, which is not past it, in a text read up to `read`.
// A short item moves as sixteen bytes in one step where those stay inside the
// text and clear of what is still to be read.
void move_item(std::string& text, size_t to, std::string_view item, size_t read) {
    constexpr size_t kStep = 16;
    const auto from = static_cast<size_t>(item.data() - text.data());
    if (item.size() <= kStep && to + kStep <= read && from + kStep <= text.size()) {
        char step[kStep];
        std::memcpy(step, item.data(), kStep);
        std::memcpy(text.data() + to, step, kStep);
    } else {
        std::memmove(text.data() + to, item.data(), item.size());
    }
}

// The working text's length, counted before it is made, so that its buffer
// is allocated once: a file of commas doubles in length.
size_t working_text_size(std::string_view bytes) {
    ListInputReader reader(bytes);
    std::string_view item;
    size_t size = 0;
    while (reader.next(item)) size += item.size() + kCrLf.size();
    return size;
}

void append_working_text(std::string& text, std::string_view bytes) {
    ListInputReader reader(bytes);
    std::string_view item;
    while (reader.next(item)) {
        text += item;
        text += kCrLf;
    }
}

}  // namespace

void WaypointList::clear() {
    storage_.reset();
    by_number_.clear();
    count_ = 0;
}

void WaypointList::reserve(size_t count) {
    if (!storage_) storage_ = std::make_shared<Blocks>();
    Block& block = storage_->emplace_back();
    block.reserve(count);  // a large block is made ready by its allocator
    by_number_.reserve(by_number_.size() + count);
}

ClsWaypoint* WaypointList::make() {
    if (!storage_ || storage_->back().size() == storage_->back().capacity())
        reserve(storage_ ? 2 * storage_->back().capacity() : 256);
    return &storage_->back().emplace_back();
}

void WaypointList::put(int16_t number, ClsWaypoint* waypoint) {
    if (number < 1) return;
    auto index = static_cast<size_t>(number - 1);
    if (by_number_.size() <= index) by_number_.resize(index + 1);
    if (!by_number_[index]) increment16(count_);
    by_number_[index] = waypoint;
}

std::shared_ptr<ClsWaypoint> WaypointList::find(std::string_view key) const {
    if (key.empty() || key.front() == '0') return nullptr;
    size_t number = 0;
    for (char c : key) {
        if (c < '0' || c > '9') return nullptr;
        number = number * 10 + static_cast<size_t>(c - '0');
        if (number > by_number_.size()) return nullptr;  // also ends a long key early
    }
    if (!by_number_[number - 1]) return nullptr;
    return {storage_, by_number_[number - 1]};
}

bool ClsParse::Parsen(const std::string& strPad, const std::string& strGARtrip) {
    ClsError::Batch reports;
    begin_conversion();
    bool written = watGaanWeDoen(strPad, strGARtrip);
    if (written) write_extra_outputs(strPad, strGARtrip);
    end_conversion();
    return written;
}

std::optional<std::string> ClsParse::convert_working_text(std::string_view werktekst) {
    ClsError::Batch reports;
    begin_conversion();
    std::optional<std::string> composed;
    if (scan_blocks(werktekst)) composed = ClsWrite().schrijf(*this);
    end_conversion();
    return composed;
}

// Every item moves to the front of the buffer, behind what is still to be read:
// the text shrinks by the blanks and quotes it drops and grows only where a
// comma or a lone CR or LF becomes CR LF.  Should a line end ever reach bytes
// not read yet, the text is made again in a buffer of its own, of the exact size.
std::string ClsParse::working_text(std::string&& bytes) {
    ListInputReader reader(bytes);
    std::string_view item;
    size_t length = 0;
    while (reader.next(item)) {
        move_item(bytes, length, item, reader.position());
        length += item.size();
        if (length + kCrLf.size() > reader.position()) {
            std::string_view rest = std::string_view(bytes).substr(reader.position());
            std::string text;
            text.reserve(length + kCrLf.size() + working_text_size(rest));
            text.append(bytes, 0, length);
            text += kCrLf;
            append_working_text(text, rest);
            return text;
        }
        bytes[length++] = '\r';
        bytes[length++] = '\n';
    }
    bytes.resize(length);
    return std::move(bytes);
}

std::string ClsParse::working_text(std::string_view bytes) {
    std::string text;
    text.reserve(working_text_size(bytes));
    append_working_text(text, bytes);
    return text;
}

void ClsParse::strFout(std::string_view val) {
    fout_ += val;
    fout_ += kCrLf;
}

void ClsParse::begin_conversion() {
    fout_.clear();
    unwritten_.clear();
    waypoints_.clear();
    routes_.clear();
    scan_position_ = 0;
    point_counter_ = 0;
    route_counter_ = 0;
    retries_ = 0;
    exchange_path_.clear();
}

void ClsParse::end_conversion() {
    aant_waypoints_ = waypoints_.size();
    aant_routes_ = static_cast<int16_t>(routes_.size());  // at most 32767: one per route number
    waypoints_.clear();
    routes_.clear();
    routes_.shrink_to_fit();
}

void ClsParse::report(std::string_view plaats, std::string_view waarde) {
    strFout(ClsError().error("ClsParse", current_failure_number(), plaats, waarde, false));
}

void ClsParse::report(const Failure& failure, std::string_view plaats, std::string_view waarde) {
    strFout(ClsError().error("ClsParse", failure, plaats, waarde, false));
}

bool ClsParse::watGaanWeDoen(const std::string& strPad, const std::string& strGARtrip) {
    // A file that could not be read leaves the last good text file alone.
    std::optional<std::string> text = ReadFile(strPad);
    return text && scan_blocks(*text) && Schrijf(strGARtrip, std::move(*text));
}

std::optional<std::string> ClsParse::ReadFile(const std::string& strPad) {
    try {
        return read_working_text(strPad);
    } catch (...) {
        // The file is read whole before any item is taken from it, so a
        // failure never has a last item to name.
        if (current_failure_number() != err::kPermissionDenied) {
            report(__func__, strPad + " in de regel:");
            return std::nullopt;
        }
    }
    // Held by the program that writes it: try again a little later.
    exchange_path_ = strPad;
    return Wachten();
}

std::optional<std::string> ClsParse::Wachten() {
    for (;;) {
        port::clock().sleep(kRetryWait);
        try {
            increment16(retries_);
            return read_working_text(exchange_path_);
        } catch (...) {
            if (current_failure_number() != err::kPermissionDenied || retries_ >= kMaxRetries) {
                report(__func__, exchange_path_);
                return std::nullopt;
            }
        }
    }
}

}  // namespace tlv
