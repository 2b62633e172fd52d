#include "shared/ClsInstellingen.h"

#include <array>

#include "shared/ClsError.h"
#include "shared/Converteren.h"
#include "shared/ModWriteFile.h"
#include "shared/failure.h"
#include "shared/int16.h"
#include "shared/list_input.h"
#include "shared/modDirCheck.h"
#include "shared/platform/port.h"
#include "shared/text.h"

namespace tlv {
namespace {

constexpr std::string_view kLoggerKey = "Loggers=";

// Reports the failure being handled; call from a catch block.
void report(std::string_view plaats, const std::string& waarde) {
    ClsError().error("ClsInstellingen", current_failure_number(), plaats, waarde, true);
}

}  // namespace

// One row per setting, in the order of the file.  A text key either takes
// any value or only the path of an existing file; a switch is a 16-bit number.
struct ClsInstellingen::Keys {
    // An Optional text is written after the loggers, and only when not empty.
    enum class Kind { Text, ExistingFile, Switch, Optional };
    struct Key {
        std::string_view key;
        Kind kind;
        std::string ClsInstellingen::*text;
        int32_t ClsInstellingen::*number;
        std::string_view default_value;
    };

    static constexpr std::array<Key, 9> kTable = {{
        {"StrePlaFile=", Kind::Text, &ClsInstellingen::strStreplaFile, nullptr, ""},
        {"GartripFile=", Kind::Text, &ClsInstellingen::strGartripFile, nullptr, ""},
        {"GartipProgramma=", Kind::ExistingFile, &ClsInstellingen::strGartripProgram, nullptr, ""},
        {"StreplaProgramma=", Kind::Text, &ClsInstellingen::strStreplaProgram, nullptr, ""},
        {"StartGartrip=", Kind::Switch, nullptr, &ClsInstellingen::intAutostart, "2"},
        {"AutoCheckStrepla=", Kind::Switch, nullptr, &ClsInstellingen::intAutoCheckStrepla, "2"},
        {"CheckForGARtrip=", Kind::Switch, nullptr, &ClsInstellingen::intUseGPS, "1"},
        {"CupFile=", Kind::Optional, &ClsInstellingen::strCupFile, nullptr, ""},
        {"GpxFile=", Kind::Optional, &ClsInstellingen::strGpxFile, nullptr, ""},
    }};

    // The default file: the seven settings, no logger line, no final line end.
    static std::string default_text() {
        std::string text;
        for (const Key& key : kTable) {
            if (key.kind == Kind::Optional) continue;
            if (!text.empty()) text += kCrLf;
            text += key.key;
            text += key.default_value;
        }
        return text;
    }

    static std::string full_text(const ClsInstellingen& settings) {
        std::string text;
        for (const Key& key : kTable) {
            if (key.kind == Kind::Optional) continue;
            text += key.key;
            text += key.kind == Kind::Switch ? std::to_string(settings.*key.number)
                                             : settings.*key.text;
            text += kCrLf;
        }
        // Row 0 is never written.
        for (size_t row = 1; row < settings.loggers_.size(); ++row) {
            text += kLoggerKey;
            text += Samenvoegen(settings.loggers_[row]);
            text += kCrLf;
        }
        for (const Key& key : kTable) {
            if (key.kind != Kind::Optional || (settings.*key.text).empty()) continue;
            text += key.key;
            text += settings.*key.text;
            text += kCrLf;
        }
        return text;
    }

    static const Key* find(std::string_view key) {
        for (const Key& candidate : kTable)
            if (candidate.key == key) return &candidate;
        return nullptr;
    }
};

ClsInstellingen::ClsInstellingen() { Inlezen(); }

void ClsInstellingen::Inlezen() {
    try {
        path_ = port::join_path(port::settings_folder(), kFileName);
        // The settings name programs that are started: only the user's own count.
        trusted_ = true;
        if (std::string why = port::files().foreign_writer(path_); !why.empty()) {
            trusted_ = false;
            use_defaults();
            raise(err::kPermissionDenied, "Settings not used: " + why);
        }
        if (!DirCheck(path_)) InitWrite();
        LeesFile();
    } catch (...) {
        report(__func__, path_);
    }
}

void ClsInstellingen::InitWrite() {
    write_text("InitWrite", [] { return Keys::default_text(); });
}

void ClsInstellingen::Wegschrijven() {
    write_text("Wegschrijven", [this] { return Keys::full_text(*this); });
}

// Composes the text and replaces the settings file with it.  A failed write is
// failure 20005, reported with the writer's own message; a failure while
// composing is reported before anything is written.
void ClsInstellingen::write_text(std::string_view plaats,
                                 const std::function<std::string()>& compose) {
    std::string message;
    try {
        message = trusted_ ? SchrijfBestand(path_, compose())
                           : ClsError::FoutTekst(err::kPermissionDenied, {});
        if (!message.empty()) raise(err::kSettingsWriteFailed);
    } catch (...) {
        report(plaats,
               "Bij het schrijven van " + path_ + "\r\nIs de volgende fout opgetreden" + message);
    }
}

// Reads the file item by item.  A failure stops at the failing item: what was
// set before keeps its new value and the logger table stays as it was.
void ClsInstellingen::LeesFile() {
    std::string text;
    std::string_view item;
    try {
        text = port::files().read_all(path_, kMostBytes);
        ListInputReader reader(text);
        LoggerTable rows(1);
        while (reader.next(item)) {
            item = ltrim_spaces(item);
            read_item(item, rows);
        }
        if (rows.size() > 1) {
            loggers_ = std::move(rows);
        } else {
            loggers_.clear();
        }
    } catch (...) {
        report(__func__, path_ + " in de regel:" + std::string(item));
    }
}

void ClsInstellingen::use_defaults() {
    for (const Keys::Key& key : Keys::kTable) {
        if (key.kind == Keys::Kind::Switch) {
            this->*key.number = parse_int16(key.default_value);
        } else {
            this->*key.text = key.default_value;
        }
    }
    loggers_.clear();
}

void ClsInstellingen::read_item(std::string_view item, LoggerTable& rows) {
    size_t equals = item.find('=');
    if (equals == std::string_view::npos) return;
    std::string_view key = item.substr(0, equals + 1);
    std::string_view value = item.substr(equals + 1);
    if (key == kLoggerKey) {
        rows.push_back(Splitsen(value));
        return;
    }
    const Keys::Key* known = Keys::find(key);
    if (!known) return;
    switch (known->kind) {
        case Keys::Kind::Text:
        case Keys::Kind::Optional:
            this->*known->text = value;
            break;
        case Keys::Kind::ExistingFile:
            if (DirCheck(value)) this->*known->text = value;
            break;
        case Keys::Kind::Switch:
            this->*known->number = parse_int16(value);
            break;
    }
}

}  // namespace tlv
