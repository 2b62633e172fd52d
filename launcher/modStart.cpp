#include "launcher/modStart.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "desktop/qt_text.h"
#include "launcher/frmInvullen.h"
#include "shared/ClsError.h"
#include "shared/ClsInstellingen.h"
#include "shared/failure.h"
#include "shared/int16.h"
#include "shared/modDirCheck.h"
#include "shared/modInstellingen.h"
#include "shared/platform/port.h"

namespace tlv::launcher {
namespace {

// By kind, from 1: the description and the file dialog's filter.
struct Kind {
    const char* omschrijving;
    const char* filter;
};
constexpr Kind kKinds[] = {
    {"Strepla programmabestand", "Programma (*.exe)|*.exe"},
    {"Gartrip programmabestand", "Programma (*.exe)|*.exe"},
    {"Strepla exportbestand", "Strepla export (*.ste)|*.ste"},
    {"GARtrip text bestand", "Tekstbestand (*.txt)"},
    {" logger programmabestand", "Programma (*.exe)|*.exe"},
    {" logger exportbestand", "Programma (*.*)|*.*"},
};
constexpr std::string_view kProgramName = "tolvane";

void report(const char* plaats, std::string_view waarde = {}) {
    ClsError().error("ModStart", current_failure_number(), plaats, waarde, true);
}

bool missing_file(const std::string& path) { return path.empty() || !DirCheck(path); }

// The logger row's field that a logger's kind of missing path fills.
LoggerField field_of(int32_t kind) {
    return kind == kLoggerProgramFile ? kLoggerProgram : kLoggerExport;
}

}  // namespace

modStart::modStart() = default;
modStart::~modStart() = default;

frmInvullen& modStart::form() {
    if (!form_) form_ = std::make_unique<frmInvullen>(Missers);
    return *form_;
}

std::string modStart::Omschrijving(const typMisser& misser) {
    if (misser.intSoort < kStreplaProgram || misser.intSoort > kLoggerExportFile) return {};
    return kKinds[misser.intSoort - 1].omschrijving;
}

int modStart::Main() {
    std::shared_ptr<ClsInstellingen> settings;
    try {
        settings = Instellingen();
        if (!chekForMissers(*settings)) return check_failed_ ? kStartFailed : kStopped;
        if (settings->blnUseGPS()) settings->intAutostart = kSwitchOn;
        settings->intAutoCheckStrepla = kSwitchOn;
        settings->Wegschrijven();
        port::programs().start(settings->strStreplaProgram, {}, port::WindowStyle::Hidden);
        settings.reset();
        InstellingenVrijgeven();
        // The program beside the launcher, by this platform's name for it.
        std::string tolvane =
            port::join_path(port::application().folder, port::program_file_name(kProgramName));
        if (DirCheck(tolvane)) {
            port::programs().start(tolvane, {}, port::WindowStyle::Hidden);
        } else {
            port::message_boxes().show("Kan tolvane.exe niet vinden", "Fout",
                                       port::BoxStyle::Critical);
            return kStartFailed;
        }
        return kStarted;
    } catch (...) {
        report(__func__);
        return kStartFailed;
    }
}

bool modStart::chekForMissers(ClsInstellingen& settings) {
    try {
        int16_t count = aantMissers(settings);
        if (count == 0) return true;
        form().exec();
        form_.reset();  // the next pass builds the dialog again
        return PadenGevonden(count, settings);
    } catch (...) {
        report(__func__);
        check_failed_ = true;
        return false;
    }
}

int16_t modStart::add_row(int16_t count, int32_t kind, const std::string& label) {
    increment16(count);
    Missers.resize(static_cast<size_t>(count) + 1);
    Misser(count, label, true, kKinds[kind - 1].filter);
    Missers[static_cast<size_t>(count)].intSoort = kind;
    return count;
}

int16_t modStart::aantMissers(ClsInstellingen& settings) {
    try {
        int16_t count = 0;
        if (settings.blnUseGPS()) {
            const bool missing[] = {
                missing_file(settings.strStreplaProgram), missing_file(settings.strGartripProgram),
                missing_file(settings.strStreplaFile), settings.strGartripFile.empty()};
            for (int32_t kind = kStreplaProgram; kind <= kGartripText; ++kind)
                if (missing[kind - 1]) count = add_row(count, kind, kKinds[kind - 1].omschrijving);
        }
        return aantMisLoggers(count, &settings);
    } catch (...) {
        report(__func__);
        return 0;
    }
}

int16_t modStart::aantMisLoggers(int16_t& count, ClsInstellingen* settings) {
    try {
        if (!settings || settings->instloggers().empty()) return count;
        LoggerTable loggers = settings->instloggers();
        for (size_t i = 1; i < loggers.size(); ++i) {
            if (!logger_active(loggers[i])) continue;
            std::string name = logger_field(loggers[i], kLoggerName);
            for (int32_t kind : {kLoggerProgramFile, kLoggerExportFile}) {
                if (!missing_file(logger_field(loggers[i], field_of(kind)))) continue;
                count = add_row(count, kind, name + kKinds[kind - 1].omschrijving);
                Missers[static_cast<size_t>(count)].intLogger = to_int16(static_cast<int64_t>(i));
            }
        }
        return count;
    } catch (...) {
        report(__func__);
        return 0;
    }
}

void modStart::Misser(int16_t row, const std::string& label, bool with_filter,
                      const std::string& filter) {
    try {
        form().Reposition(row);
        form().Label1(row)->setText(desktop::to_qt(label));
        form().Label1(row)->setToolTip(desktop::to_qt(label));
        form().Label1(row)->show();
        form().Text1(row)->setText(desktop::to_qt(Missers.at(static_cast<size_t>(row)).strWaarde));
        form().Text1(row)->show();
        form().Command1(row)->show();
        if (with_filter) form().SetFilters(row, filter);
    } catch (...) {
        report("Misser", "Bij" + label);
    }
}

// Every row is tried, so the accepted paths are kept even when others fail.
bool modStart::PadenGevonden(int16_t count, ClsInstellingen& settings) {
    try {
        bool ok = true;
        for (int16_t i = 1; i <= count; ++i) {
            const typMisser& misser = Missers.at(static_cast<size_t>(i));
            if (Invullen(misser, misser.strWaarde, settings, i)) continue;
            port::message_boxes().show("Het pad naar" + Omschrijving(misser) + " is niet geldig.",
                                       "Tolvane", port::BoxStyle::Information);
            ok = false;
        }
        if (ok) return true;
        port::Answer answer = port::message_boxes().show(
            "Kies ja om nu te stoppen\r\nKies nee om de paden opnieuw in te vullen", "Afsluiten",
            port::BoxStyle::YesNo);
        return answer == port::Answer::Yes ? false : chekForMissers(settings);
    } catch (...) {
        report(__func__);
        check_failed_ = true;
        return false;
    }
}

bool modStart::Invullen(const typMisser& misser, const std::string& path, ClsInstellingen& settings,
                        int16_t) {
    try {
        switch (misser.intSoort) {
            case kStreplaProgram:
            case kGartripProgram:
                if (!DirCheck(path)) return false;
                (misser.intSoort == kStreplaProgram ? settings.strStreplaProgram
                                                    : settings.strGartripProgram) = path;
                return true;
            case kStreplaExport:
            case kGartripText:
                if (path.empty()) return false;
                (misser.intSoort == kStreplaExport ? settings.strStreplaFile
                                                   : settings.strGartripFile) = path;
                return true;
            case kLoggerProgramFile:
            case kLoggerExportFile: {
                if (!DirCheck(path)) return false;
                LoggerTable loggers = settings.instloggers();
                LoggerRow& row = loggers.at(static_cast<size_t>(misser.intLogger));
                logger_field_to_write(row, field_of(misser.intSoort)) = path;
                settings.instloggers(loggers);
                return true;
            }
            default:
                return true;
        }
    } catch (...) {
        report("Invullen");
        return true;
    }
}

}  // namespace tlv::launcher
