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
    port::DateTime written = modified(path_);
    if (written < port::clock().now() && written > reference_) {
        reference_ = modified(path_);
        return true;
    }
    return false;
}

}  // namespace tlv
