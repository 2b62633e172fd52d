// The main window's watch mode: the admission check, switching on and off,
// the watchers, the 500 ms tick, and the tray icon with its mouse handling.

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

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

constexpr int kTickMs = 500;

}  // namespace

void FrmKeerpunten::enable_watch_toggle(bool on) {
    Button(4)->setEnabled(on);
    item("mnAutoStartStrepla")->setEnabled(on);
}

bool FrmKeerpunten::CheckCanBeServer(bool report_paths, bool apply) {
    bool ok = false;
    try {
        std::string m;
        LoggerTable loggers = settings_->instloggers();
        bool paths_ok = startCheck(report_paths);
        if (settings_->blnUseGPS() && !paths_ok) {
            settings_->intAutoCheckStrepla = 2;
            enable_watch_toggle(false);
        } else if (loggers.size() <= 1) {
            ok = true;
            enable_watch_toggle(true);
        } else {
            // The message gathers every active logger's faults; the last row decides.
            for (size_t i = 1; i < loggers.size(); ++i) {
                const LoggerRow& row = loggers[i];
                if (logger_active(row)) {
                    if (!DirCheck(logger_field(row, 3)))
                        m += " van het programmabestand van " + logger_field(row, 1);
                    if (!DirCheck(logger_field(row, 4)))
                        m += " van het exportbestand van " + logger_field(row, 1);
                    if (!m.empty()) settings_->intAutoCheckStrepla = 2;
                    ok = m.empty();
                } else {
                    ok = true;
                }
                enable_watch_toggle(ok);
            }
        }
        if (apply) mnItemStartVanStrepla(true);
        if (!m.empty()) {
            if (report_paths) {
                port::message_boxes().show("Fout in het pad" + m, "Kan deze optie niet uitvoeren",
                                           port::BoxStyle::Information);
            } else {
                ShowMessage("Fout in het pad" + m);
            }
        }
    } catch (...) {
        show();
        report("CheckCanBeServer");
        return false;
    }
    return ok;
}

void FrmKeerpunten::mnItemStartVanStrepla(bool init) {
    try {
        if (init) {
            settings_->intAutoCheckStrepla == 2 ? mnItemStartVanStreplaUit()
                                                : mnItemStartVanStreplaAan();
        } else if (settings_->intAutoCheckStrepla == 1) {
            settings_->intAutoCheckStrepla = 2;
            mnItemStartVanStreplaUit();
            initControls();
        } else {
            settings_->intAutoCheckStrepla = 1;
            mnItemStartVanStreplaAan();
            initControls();
        }
    } catch (...) {
        show();
        report("mnItemStartVanStrepla");
    }
}

void FrmKeerpunten::show_watch_state(bool on) {
    item("mnAutoStartStrepla")->setChecked(on);
    Button(4)->setChecked(on);
    SetStatusPanel(1, on);
    item("mnSystray")->setEnabled(on);
    Button(5)->setEnabled(on);
}

void FrmKeerpunten::mnItemStartVanStreplaAan() {
    try {
        if (initTimer(true)) {
            naarSysteemvak(false);
            show_watch_state(true);
        } else {
            mnItemStartVanStreplaUit();
        }
    } catch (...) {
        show();
        report("mnItemStartVanStreplaAan");
    }
}

void FrmKeerpunten::mnItemStartVanStreplaUit() {
    try {
        show_watch_state(false);
        initTimer(false);
    } catch (...) {
        show();
        report("mnItemStartVanStreplaUit");
    }
}

bool FrmKeerpunten::initTimer(bool on) {
    try {
        if (!on) {
            leave_tray();
            watcher_.reset();
            logger_watchers_.reset();
            return false;
        }
        bool good = false;
        if (CheckCanBeServer(true, false)) {
            good = true;
            if (settings_->blnUseGPS()) {
                watcher_ = std::make_unique<ClsAutoconvert>();
                if (!watcher_->setfile(settings_->strStreplaFile)) {
                    watcher_.reset();
                    good = false;
                }
            }
        } else {
            leave_tray();
        }
        if (good && initLoggers()) {
            Timer1->start(kTickMs);
            return true;
        }
    } catch (...) {
        show();
        report("initTimer");
    }
    return false;
}

bool FrmKeerpunten::initLoggers() {
    try {
        auto watchers = std::make_unique<std::vector<ClsAutoLogger>>();
        int errors = 0;
        LoggerTable loggers = settings_ ? settings_->instloggers() : LoggerTable{};
        for (size_t i = 1; i < loggers.size(); ++i) {
            if (!logger_active(loggers[i])) continue;
            ClsAutoLogger logger;
            if (logger.setfile(logger_field(loggers[i], 4), logger_field(loggers[i], 3))) {
                watchers->push_back(std::move(logger));
            } else {
                ++errors;
            }
        }
        logger_watchers_ = errors > 0 ? nullptr : std::move(watchers);
        return errors == 0;
    } catch (...) {
        show();
        report("initLoggers");
        return false;
    }
}

void FrmKeerpunten::naarSysteemvak(bool hide) {
    if (!CheckCanBeServer(true, false)) return;
    // Without a system tray a hidden window could not be reached again: it
    // is minimised instead, and the tray's tip goes to the window title.
    tray_available_ = ModNotifyIcon::Shell_NotifyIcon(
        port::TrayCommand::Add, port::TrayPicture::WindowIcon, ModNotifyIcon::kWachtOpStrepla);
    if (!tray_available_) setWindowTitle(desktop::to_qt(ModNotifyIcon::kWachtOpStrepla));
    if (hide) tray_available_ ? this->hide() : showMinimized();
    in_tray_ = true;
}

// A tick that arrives while another one runs (a box shown inside a tick runs
// its own event loop) does nothing.
void FrmKeerpunten::Timer1_Timer() {
    if (in_tick_ || !settings_ || settings_->intAutoCheckStrepla != 1) return;
    in_tick_ = true;
    try {
        if (settings_->blnUseGPS() && watcher_ && watcher_->CheckFile()) Converteren();
        if (logger_watchers_)
            for (ClsAutoLogger& logger : *logger_watchers_) logger.CheckFile();
    } catch (...) {
        settings_->intAutoCheckStrepla = 2;
        settings_->Wegschrijven();
        initTimer(false);
        show();
        report("Timer1_Timer", "De optie Starten na Strepla wordt uitgeschakeld", false);
        // Shown after the refresh, which would otherwise clear it at once.
        initControls();
        ShowMessage("De optie Starten na Strepla wordt uitgeschakeld wegens een fout");
    }
    in_tick_ = false;
}

void FrmKeerpunten::leave_tray() {
    in_tray_ = false;
    ModNotifyIcon::Delete();
    setWindowTitle(QStringLiteral("TolVANE"));
}

void FrmKeerpunten::show_window_normal() {
    setWindowState(Qt::WindowNoState);
    show();
    raise();
    activateWindow();
}

void FrmKeerpunten::TrayMouse(int code) {
    if (code == port::tray_mouse::kLeftButtonUp || code == port::tray_mouse::kLeftDoubleClick) {
        show_window_normal();
    } else if (code == port::tray_mouse::kRightButtonUp) {
        raise();
        activateWindow();
        mnPopup->popup(QCursor::pos());
    }
}

}  // namespace tlv
