// The main window's watch mode: the admission check, switching on and off,
// the watchers, the 500 ms tick, and the tray icon with its mouse handling.

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QScopeGuard>
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
#include "shared/text.h"

namespace tlv {
namespace {

// "Start na export Strepla staat uit: " and the fault on one line.
std::string watch_off_text(std::string fault) {
    for (size_t at; (at = fault.find("\r\n")) != std::string::npos;) fault.replace(at, 2, " ");
    fault = std::string(trim_spaces(fault));
    return "Start na export Strepla staat uit: " + (fault.empty() ? "een pad klopt niet" : fault);
}

}  // namespace

namespace {

constexpr int kTickMs = 500;

}  // namespace

void FrmKeerpunten::enable_watch_toggle(bool on) {
    Button(kButtonWatch)->setEnabled(on);
    item("mnAutoStartStrepla")->setEnabled(on);
}

bool FrmKeerpunten::CheckCanBeServer(bool report_paths, bool apply) {
    bool ok = false;
    try {
        std::string m;
        LoggerTable loggers = settings_->instloggers();
        bool paths_ok = startCheck(report_paths);
        if (settings_->blnUseGPS() && !paths_ok) {
            settings_->intAutoCheckStrepla = kSwitchOff;
            enable_watch_toggle(false);
        } else if (loggers.size() <= 1) {
            ok = true;
            enable_watch_toggle(true);
        } else {
            // The message gathers every active logger's faults; the last row decides.
            for (size_t i = 1; i < loggers.size(); ++i) {
                const LoggerRow& row = loggers[i];
                if (logger_active(row)) {
                    if (!DirCheck(logger_field(row, kLoggerProgram)))
                        m += " van het programmabestand van " + logger_field(row, kLoggerName);
                    if (!DirCheck(logger_field(row, kLoggerExport)))
                        m += " van het exportbestand van " + logger_field(row, kLoggerName);
                    if (!m.empty()) settings_->intAutoCheckStrepla = kSwitchOff;
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
                last_path_fault_ = "Fout in het pad" + m;
                port::message_boxes().show("Fout in het pad" + m, "Kan deze optie niet uitvoeren",
                                           port::BoxStyle::Information);
            } else {
                ShowMessage("Fout in het pad" + m);
            }
        }
    } catch (...) {
        show();
        report(__func__);
        return false;
    }
    return ok;
}

void FrmKeerpunten::mnItemStartVanStrepla(bool init) {
    try {
        if (init) {
            settings_->intAutoCheckStrepla == kSwitchOff ? mnItemStartVanStreplaUit()
                                                         : mnItemStartVanStreplaAan();
        } else if (settings_->intAutoCheckStrepla == kSwitchOn) {
            settings_->intAutoCheckStrepla = kSwitchOff;
            mnItemStartVanStreplaUit();
            initControls();
        } else {
            settings_->intAutoCheckStrepla = kSwitchOn;
            mnItemStartVanStreplaAan();
            initControls();
        }
    } catch (...) {
        show();
        report(__func__);
    }
}

void FrmKeerpunten::show_watch_state(bool on) {
    item("mnAutoStartStrepla")->setChecked(on);
    Button(kButtonWatch)->setChecked(on);
    SetStatusPanel(1, on);
    item("mnSystray")->setEnabled(on);
    Button(kButtonHide)->setEnabled(on);
}

void FrmKeerpunten::mnItemStartVanStreplaAan() {
    try {
        last_path_fault_.clear();
        if (initTimer(true)) {
            watch_off_reason_.clear();
            naarSysteemvak(false);
            show_watch_state(true);
        } else {
            mnItemStartVanStreplaUit();
            watch_off_reason_ = watch_off_text(last_path_fault_);
            ShowMessage(watch_off_reason_);
        }
    } catch (...) {
        show();
        report(__func__);
    }
}

void FrmKeerpunten::mnItemStartVanStreplaUit() {
    try {
        show_watch_state(false);
        initTimer(false);
    } catch (...) {
        show();
        report(__func__);
    }
}

// A rebuild while the mode stays on keeps, for each path still watched, the
// state of its old watcher: a rewrite made just before is still reported.
void FrmKeerpunten::carry_over(const std::shared_ptr<ClsAutoconvert>& watcher,
                               const std::shared_ptr<std::vector<ClsAutoLogger>>& loggers) {
    if (watcher && watcher_) watcher_->carry_over(*watcher);
    if (!loggers || !logger_watchers_) return;
    for (ClsAutoLogger& logger : *logger_watchers_)
        for (const ClsAutoLogger& previous : *loggers) logger.carry_over(previous);
}

bool FrmKeerpunten::initTimer(bool on) {
    try {
        if (!on) {
            leave_tray();
            watcher_.reset();
            logger_watchers_.reset();
            return false;
        }
        const auto previous_watcher = std::exchange(watcher_, nullptr);
        const auto previous_loggers = logger_watchers_;
        bool good = false;
        if (CheckCanBeServer(true, false)) {
            good = true;
            if (settings_->blnUseGPS()) {
                auto watcher = std::make_shared<ClsAutoconvert>();
                if (watcher->setfile(settings_->strStreplaFile)) {
                    watcher_ = std::move(watcher);
                } else {
                    good = false;
                }
            }
        } else {
            leave_tray();
        }
        if (good && initLoggers()) {
            carry_over(previous_watcher, previous_loggers);
            Timer1->start(kTickMs);
            return true;
        }
    } catch (...) {
        show();
        report(__func__);
    }
    return false;
}

bool FrmKeerpunten::initLoggers() {
    try {
        auto watchers = std::make_shared<std::vector<ClsAutoLogger>>();
        bool complete = true;
        LoggerTable loggers = settings_ ? settings_->instloggers() : LoggerTable{};
        for (size_t i = 1; i < loggers.size(); ++i) {
            if (!logger_active(loggers[i])) continue;
            ClsAutoLogger logger;
            if (logger.setfile(logger_field(loggers[i], kLoggerExport),
                               logger_field(loggers[i], kLoggerProgram))) {
                watchers->push_back(std::move(logger));
            } else {
                complete = false;
            }
        }
        logger_watchers_ = complete ? std::move(watchers) : nullptr;
        return complete;
    } catch (...) {
        show();
        report(__func__);
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
// its own event loop) does nothing, but for one case: while a conversion's
// error box is up, the loggers are still checked (the export waits for the
// box); a failure there is left for the next tick of its own.  The tick holds
// the watchers it walks over; when a box's event loop rebuilds them, it
// stops, and the new ones, which carried over each path's state, go on at
// the next tick.
void FrmKeerpunten::Timer1_Timer() {
    if (!settings_ || settings_->intAutoCheckStrepla != kSwitchOn) return;
    if (in_tick_) {
        try {
            if (conversion_box_open_) check_loggers();
        } catch (...) {
        }
        return;
    }
    in_tick_ = true;
    try {
        if (std::shared_ptr<ClsAutoconvert> watcher = watcher_;
            settings_->blnUseGPS() && watcher && watcher->CheckFile())
            Converteren();
        check_loggers();
    } catch (...) {
        settings_->intAutoCheckStrepla = kSwitchOff;
        settings_->Wegschrijven();
        initTimer(false);
        show();
        report(__func__, "De optie Starten na Strepla wordt uitgeschakeld", false);
        // Shown after the refresh, which would otherwise clear it at once.
        initControls();
        ShowMessage("De optie Starten na Strepla wordt uitgeschakeld wegens een fout");
    }
    in_tick_ = false;
}

// Each logger once, unless a check is already under way (a logger's box is up).
void FrmKeerpunten::check_loggers() {
    const std::shared_ptr<std::vector<ClsAutoLogger>> loggers = logger_watchers_;
    if (!loggers || in_logger_check_) return;
    in_logger_check_ = true;
    const auto done = qScopeGuard([this] { in_logger_check_ = false; });
    for (ClsAutoLogger& logger : *loggers) {
        if (logger_watchers_ != loggers || settings_->intAutoCheckStrepla != kSwitchOn) break;
        logger.CheckFile();
    }
}

// Leaving the tray while hidden shows the window: with no icon left it
// could not be reached otherwise.
void FrmKeerpunten::leave_tray() {
    const bool hidden = in_tray_ && (!isVisible() || isMinimized());
    if (hidden && !unloaded_) show_window_normal();
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
