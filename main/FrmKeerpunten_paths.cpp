// The main window's paths: the fields, the browse buttons, the checks that
// enable the commands, the result label and the status panels.

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QStatusBar>

#include "desktop/qt_text.h"
#include "main/FrmKeerpunten.h"
#include "shared/ClsInstellingen.h"
#include "shared/modDirCheck.h"
#include "shared/platform/port.h"
#include "shared/text.h"
#include "tlvctrl/CtrlCheckbox.h"

namespace tlv {
namespace {

constexpr std::string_view kPanelTexts[] = {"Start na export Strepla", "Direkt GARtrip starten"};

bool is_blank(std::string_view text) { return trim_spaces(text).empty(); }

}  // namespace

void FrmKeerpunten::ShowMessage(const std::string& text) {
    desktop::show_message(lbResultaat, text);
}

// A panel is as wide as its text, or as the text `room` where that is wider;
// an empty one takes no room.  The window's minimum width follows the panels
// shown, so that each shows its whole text: at once, as a conversion's count
// comes while no event is handled.
void FrmKeerpunten::set_panel(int index, const std::string& text, std::string_view room) {
    QLabel* panel = panels_.at(static_cast<size_t>(index - 1));
    panel->setText(desktop::to_qt(room));
    const int width = panel->sizeHint().width();
    panel->setText(desktop::to_qt(text));
    panel->setMinimumWidth(text.empty() ? 0 : std::max(width, panel->sizeHint().width()));
    panel->setVisible(!text.empty());
    if (QLayout* bar = statusBar()->layout()) bar->activate();
    layout()->invalidate();
    layout()->activate();
}

void FrmKeerpunten::SetStatusPanel(int index, bool on) {
    if (index < 1 || index > 2) return;
    set_panel(index, on ? std::string(kPanelTexts[index - 1]) : std::string());
}

void FrmKeerpunten::EnableConvert() { enable_convert_commands(true); }
void FrmKeerpunten::DisableConvert() { enable_convert_commands(false); }

void FrmKeerpunten::enable_convert_commands(bool on) {
    for (QAction* command :
         {Button(kButtonConvert), item("MnGARTripBestandMaken"), item("mnPopGartBestMaken")})
        command->setEnabled(on);
}

void FrmKeerpunten::ShowExchangeInUse() {
    ckUseGps->CheckWithValue(settings_->blnUseGPS() ? 1 : 0);
}

void FrmKeerpunten::initControls() {
    try {
        ShowMessage(watch_off_reason_);
        Text1->setText(desktop::to_qt(settings_->strStreplaFile));
        Text2->setText(desktop::to_qt(settings_->strGartripFile));
        ShowExchangeInUse();
        bool strepla = DirCheck(settings_->strStreplaProgram);
        Button(kButtonStrepla)->setEnabled(strepla);
        item("mnStrepla")->setEnabled(strepla);
        bool gartrip = DirCheck(settings_->strGartripProgram);
        for (QAction* action :
             {Button(kButtonGartrip), item("MnGartripStarten"), item("mnGartripPopup")})
            action->setEnabled(gartrip);
        bool ok = startCheck(false);
        Button(kButtonAutostartGartrip)->setEnabled(gartrip && ok);
        item("Autostart")->setEnabled(gartrip && ok);
        CheckAutostartGartrip(false);
        CheckCanBeServer(false, true);
        lbResultaat->repaint();
    } catch (...) {
        show();
        report(__func__);
    }
}

bool FrmKeerpunten::startCheck(bool report_paths) {
    bool ok = false;
    try {
        int n = 0;
        std::string m;
        if (!settings_->blnUseGPS()) {
            DisableConvert();
        } else {
            if (is_blank(settings_->strGartripFile)) {
                m = "Vul GARtrip text in\r\n";
            } else {
                n = 1;
            }
            if (report_paths) {
                if (DirCheck(settings_->strStreplaFile)) {
                    ++n;
                } else {
                    m += "Het pad naar Strepla Exchange klopt niet";
                }
            } else {
                if (is_blank(settings_->strStreplaFile)) {
                    m = "Vul Strepla Exchange in";
                } else {
                    ++n;
                }
                if (n == 0) m = "Vul Strepla Exchange en GARtrip text in.";
            }
            if (n == 2) {
                ok = true;
                EnableConvert();
            }
        }
        // Quietly, only a fault is shown: the refresh has cleared the label, and a later check
        // must not wipe what an earlier one showed (the autostart's GARtrip path).
        if (!m.empty() && report_paths) {
            last_path_fault_ = m;
            port::message_boxes().show(m, "Kan niet converteren", port::BoxStyle::Information);
        } else if (!m.empty()) {
            ShowMessage(m);
        }
    } catch (...) {
        show();
        report(__func__, "\"" + settings_->strStreplaFile + "\"");
    }
    return ok;
}

void FrmKeerpunten::Opslaan() {
    ShowMessage("Opslaan");
    lbResultaat->repaint();
    if (settings_) settings_->Wegschrijven();
    initControls();
}

// A chosen name holds no "*": the dialog's own pattern comes back after a cancel.
void FrmKeerpunten::BtnStrepla_Click() {
    port::FileDialog dialog{port::FileDialog::Kind::Open, "Strepla export (*.ste)|*.ste", 1,
                            port::FileDialog::kCreatePrompt, "*.ste"};
    std::string name = port::file_dialogs().show(dialog);
    if (name.find('*') == std::string::npos) Text1->setText(desktop::to_qt(name));
    initControls();
}

void FrmKeerpunten::BtnGartrip_Click() {
    port::FileDialog dialog{port::FileDialog::Kind::Save, "Strepla export (*.txt)", 1,
                            port::FileDialog::kCreatePrompt, "*.txt"};
    std::string name = port::file_dialogs().show(dialog);
    if (name.find('*') == std::string::npos) Text2->setText(desktop::to_qt(name));
    if (!Text2->text().contains(QStringLiteral(".txt"), Qt::CaseInsensitive))
        Text2->setText(Text2->text() + QStringLiteral(".txt"));
    initControls();
}

// The setting follows the field at once; a text without a Windows-1252 form
// is refused and the field gets the setting back.
void FrmKeerpunten::Text_Change(QLineEdit* field, std::string ClsInstellingen::*setting) {
    if (settings_) desktop::take_text(field, (*settings_).*setting, "FrmKeerpunten", "Text_Change");
}

void FrmKeerpunten::ckUseGps_Change() {
    if (!settings_) return;
    settings_->blnUseGPS(ckUseGps->CheckWithValue() == 1);
    initControls();
}

// Leaving a path field means moving to another control of this window; a
// box, a menu or another program taking the focus is no change of field.
bool FrmKeerpunten::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && (watched == Text1 || watched == Text2) && settings_) {
        const QWidget* now = QApplication::focusWidget();
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool away = reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason ||
                          reason == Qt::ActiveWindowFocusReason;
        if (now && now->window() == this && !away) initControls();
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace tlv
