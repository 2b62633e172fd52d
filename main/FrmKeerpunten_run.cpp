// The main window's conversion run, and the programs it starts.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QScopeGuard>

#include "desktop/qt_text.h"
#include "main/FrmKeerpunten.h"
#include "main/ModNotifyIcon.h"
#include "shared/ClsError.h"
#include "shared/ClsInstellingen.h"
#include "shared/failure.h"
#include "shared/modDirCheck.h"
#include "shared/platform/port.h"

namespace tlv {
namespace {

constexpr std::string_view kBezig = "Bezig met verwerken";
// The progress panel's room from the start: a count of up to eight digits (a 64 MiB export has
// fewer blocks), so that the window does not widen with each digit while it converts.
constexpr std::string_view kBezigRoom = "Bezig met verwerken 00000000";
// Progress is painted at most this often: a repaint per block would cost
// more than the conversion itself.
constexpr qint64 kProgressPaintMs = 100;

// The extra outputs that could not be written, for the label: "a.cup en b.gpx".
std::string unwritten_outputs(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths) text += (text.empty() ? "" : " en ") + path;
    return text;
}

}  // namespace

// The busy pointer belongs to this window only, not to the boxes of a run.
void FrmKeerpunten::SetMousePointer(int pointer) {
    pointer == kPointerBusy ? setCursor(Qt::WaitCursor) : unsetCursor();
    mouse_pointer_ = pointer;
}

// Without a system tray the tips go to the window title.
void FrmKeerpunten::tray_tip(port::TrayPicture icon, std::string_view tip) {
    if (!in_tray_) return;
    if (tray_available_) {
        ModNotifyIcon::Shell_NotifyIcon(port::TrayCommand::Modify, icon, tip);
    } else {
        setWindowTitle(desktop::to_qt(tip));
    }
}

void FrmKeerpunten::Converteren() {
    std::string information;
    try {
        objParse.reset();
        objParse.emplace(new_conversion());
        SetMousePointer(kPointerBusy);
        set_panel(3, std::string(kBezig), kBezigRoom);
        if (!startCheck(true)) {
            set_panel(3, "");
            ShowMessage("Verwerken kan niet plaatsvinden");
            SetMousePointer(kPointerArrow);
            return;
        }
        watch_off_reason_.clear();
        tray_tip(port::TrayPicture::Busy, ModNotifyIcon::kBezigMetConverteren);
        for (const char* name :
             {"MnGARTripBestandMaken", "mnPopGartBestMaken", "MnGartripStarten", "mnGartripPopup"})
            item(name)->setEnabled(false);

        objParse->advise(this);
        objParse->set_outputs(settings_->strCupFile, settings_->strGpxFile);
        progress_clock_.invalidate();
        bool result = objParse->Parsen(settings_->strStreplaFile, settings_->strGartripFile);
        objParse->advise(nullptr);
        std::string fout = objParse->strFout();
        const std::string unwritten = unwritten_outputs(objParse->unwritten_outputs());
        information = "Lezen uit:" + settings_->strStreplaFile +
                      "\r\nSchrijven naar:" + settings_->strGartripFile + "\r\n" + fout;
        if (!unwritten.empty()) information += "Niet geschreven: " + unwritten + "\r\n";
        std::string counts;
        if (!result) tlv::raise(err::kConversionFailed);
        counts = std::to_string(objParse->intAantWaypoints()) + " Keerpunten";
        if (objParse->intAantRoutes() != 0)
            counts += " en " + std::to_string(objParse->intAantRoutes()) + " Routes";
        if (!unwritten.empty()) counts += "; niet geschreven: " + unwritten;
        if (!fout.empty()) tlv::raise(err::kConversionWithErrors);
        objParse.reset();

        initControls();
        set_panel(3, "");
        ShowMessage(counts);
        tray_tip(port::TrayPicture::WindowIcon, ModNotifyIcon::kWachtOpStrepla);
        SetMousePointer(kPointerArrow);
        CheckAutostartGartrip(true);
        if (settings_->intAutostart == kSwitchOn) RunGartrip();
    } catch (...) {
        conversion_failed(information);
    }
}

void FrmKeerpunten::conversion_failed(const std::string& information) {
    show();
    objParse.reset();
    SetMousePointer(kPointerArrow);
    set_panel(3, "");
    tray_tip(port::TrayPicture::WindowIcon, ModNotifyIcon::kWachtOpStrepla);
    {
        conversion_box_open_ = true;
        const auto closed = qScopeGuard([this] { conversion_box_open_ = false; });
        report("Converteren", information);
    }
    initControls();
}

// Every count is kept; the label and the tray tip show it a few times a second.
// Raised once per block: the text is made only when it is painted.
void FrmKeerpunten::Progressie(std::string& aantRegels) {
    if (progress_clock_.isValid() && progress_clock_.elapsed() < kProgressPaintMs) return;
    progress_clock_.start();
    const std::string text = std::string(kBezig) + " " + aantRegels;
    set_panel(3, text, kBezigRoom);
    panels_[2]->repaint();
    tray_tip(port::TrayPicture::Busy, text);
}

void FrmKeerpunten::RunGartrip() {
    if (!settings_ || !DirCheck(settings_->strGartripProgram)) return;
    port::programs().start(settings_->strGartripProgram, {settings_->strGartripFile},
                           port::WindowStyle::Hidden);
}

void FrmKeerpunten::RunStrepla() {
    if (!settings_ || !DirCheck(settings_->strStreplaProgram)) return;
    port::programs().start(settings_->strStreplaProgram, {}, port::WindowStyle::MinimizedFocus);
}

// The autostart goes off when a path it needs fails; a missing GARtrip
// program is said (a box after a run, the label on a refresh).
void FrmKeerpunten::CheckAutostartGartrip(bool report_paths) {
    try {
        if (settings_->intAutostart == kSwitchOn && !startCheck(report_paths))
            settings_->intAutostart = kSwitchOff;
        const bool gartrip_gone =
            settings_->intAutostart == kSwitchOn && !DirCheck(settings_->strGartripProgram);
        if (gartrip_gone) settings_->intAutostart = kSwitchOff;
        mnItemAutostartGartrip(true);
        if (!gartrip_gone) return;
        const std::string message = "Het pad naar het programmabestand van GARtrip klopt niet";
        if (report_paths) {
            port::message_boxes().show(message, "", port::BoxStyle::Information);
        } else {
            ShowMessage(message);
        }
    } catch (...) {
        show();
        report(__func__);
    }
}

void FrmKeerpunten::mnItemAutostartGartrip(bool init) {
    try {
        if (!init)
            settings_->intAutostart = settings_->intAutostart == kSwitchOn ? kSwitchOff : kSwitchOn;
        bool on = settings_->intAutostart == kSwitchOn;
        Button(kButtonAutostartGartrip)->setChecked(on);
        item("Autostart")->setChecked(on);
        SetStatusPanel(2, on);
    } catch (...) {
        show();
        report(__func__);
    }
}

}  // namespace tlv
