#include "main/ClsAutoconvert.h"

#include "shared/failure.h"
#include "shared/modDirCheck.h"

namespace tlv {
namespace {

port::DateTime modified(const std::string& path) {
    std::optional<port::DateTime> time = port::files().last_modified(path);
    if (!time) raise(err::kFileNotFound);
    return *time;
}

std::chrono::sys_seconds as_seconds(const port::DateTime& t) {
    using namespace std::chrono;
    return sys_days(year_month_day(year(t.year), month(static_cast<unsigned>(t.month)),
                                   day(static_cast<unsigned>(t.day)))) +
           hours(t.hour) + minutes(t.minute) + seconds(t.second);
}

}  // namespace

bool ClsAutoconvert::setfile(const std::string& strStreplaFile) {
    if (!DirCheck(strStreplaFile)) {
        port::message_boxes().show("Het pad " + strStreplaFile + "klopt niet.", "",
                                   port::BoxStyle::Ok);
        return false;
    }
    reference_ = port::clock().now();
    path_ = strStreplaFile;
    return true;
}

bool ClsAutoconvert::CheckFile() {
    const port::DateTime now = port::clock().now();
    std::optional<port::DateTime> found = port::files().last_modified(path_);
    if (!found) {
        if (!absent_since_) absent_since_ = now;
        if (as_seconds(now) - as_seconds(*absent_since_) < kAbsentGrace) return false;
        raise(err::kFileNotFound);
    }
    absent_since_.reset();
    const port::DateTime written = *found;
    if (written < now && written > reference_) {
        reference_ = modified(path_);
        return true;
    }
    return false;
}

void ClsAutoconvert::carry_over(const ClsAutoconvert& previous) {
    if (previous.path_ != path_ || path_.empty()) return;
    reference_ = previous.reference_;
    absent_since_ = previous.absent_since_;
}

}  // namespace tlv
