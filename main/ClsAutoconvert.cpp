#include "main/ClsAutoconvert.h"

#include "shared/failure.h"
#include "shared/modDirCheck.h"

namespace tlv {
namespace {

std::chrono::sys_seconds as_seconds(const port::DateTime& t) {
    using namespace std::chrono;
    return sys_days(year_month_day(year(t.year), month(static_cast<unsigned>(t.month)),
                                   day(static_cast<unsigned>(t.day)))) +
           hours(t.hour) + minutes(t.minute) + seconds(t.second);
}

}  // namespace

std::optional<ClsAutoconvert::Written> ClsAutoconvert::written(const std::string& path) {
    std::optional<port::DateTime> local = port::files().last_modified(path);
    if (!local) return std::nullopt;
    std::optional<port::FileStamp> stamp = port::files().stamp(path);
    return Written{*local, stamp ? std::optional(stamp->modified_ns) : std::nullopt};
}

bool ClsAutoconvert::setfile(const std::string& strStreplaFile) {
    std::optional<Written> now;
    if (DirCheck(strStreplaFile)) now = written(strStreplaFile);
    if (!now) {
        port::message_boxes().show("Het pad " + strStreplaFile + "klopt niet.", "",
                                   port::BoxStyle::Ok);
        return false;
    }
    reference_ = *now;
    path_ = strStreplaFile;
    return true;
}

bool ClsAutoconvert::CheckFile() {
    const port::DateTime now = port::clock().now();
    std::optional<Written> found = written(path_);
    if (!found) {
        if (!absent_since_) absent_since_ = now;
        if (as_seconds(now) - as_seconds(*absent_since_) < kAbsentGrace) return false;
        raise(err::kFileNotFound);
    }
    absent_since_.reset();
    if (*found == reference_ || found->local == now) return false;
    reference_ = *found;
    return true;
}

void ClsAutoconvert::carry_over(const ClsAutoconvert& previous) {
    if (previous.path_ != path_ || path_.empty()) return;
    reference_ = previous.reference_;
    absent_since_ = previous.absent_since_;
}

}  // namespace tlv
