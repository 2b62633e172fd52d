#include "shared/platform/headless.h"

#include <cstdio>
#include <string>

#include "shared/codec.h"
#include "shared/failure.h"

namespace tlv::port::headless {
namespace {

class KeptFileDialogs final : public FileDialogs {
public:
    std::string show(const FileDialog& dialog) override { return dialog.file_name; }
};

class NoTray final : public TrayIcons {
public:
    bool notify(TrayCommand, const NotifyIconData&) override { return false; }
    void set_mouse_handler(std::function<void(int)>) override {}
};

class NoHelp final : public HelpViewer {
public:
    void show(std::string_view, HelpCommand, int32_t) override {
        raise(err::kCantLoadLibrary, "No help viewer without a display");
    }
};

}  // namespace

// Without a display a box is answered by its safest button: No to a question,
// Cancel to an error report, OK otherwise.
Answer safe_answer(BoxStyle style) {
    switch (style) {
        case BoxStyle::YesNo:
        case BoxStyle::Question:
            return Answer::No;
        case BoxStyle::ErrorReport:
            return Answer::Cancel;
        default:
            return Answer::Ok;
    }
}

Answer write_box(std::string_view text, std::string_view title, BoxStyle style) {
    std::string line = codec::to_utf8(title) + ": " + codec::to_utf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    return safe_answer(style);
}

FileDialogs& file_dialogs() {
    static KeptFileDialogs dialogs;
    return dialogs;
}
TrayIcons& tray() {
    static NoTray tray;
    return tray;
}
HelpViewer& help() {
    static NoHelp help;
    return help;
}

uint64_t claim_key(std::string_view user, std::string_view program, std::string_view folder) {
    uint64_t hash = 1469598103934665603ULL;
    for (std::string_view part :
         {user, std::string_view("\n"), program, std::string_view("\n"), folder})
        for (char c : part) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 1099511628211ULL;
        }
    return hash;
}

}  // namespace tlv::port::headless
