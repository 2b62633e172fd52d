#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "main/ClsAutoLogger.h"
#include "main/ClsAutoconvert.h"
#include "shared/component.h"
#include "shared/component_loader.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class QToolBar;

namespace tlv {

class ClsInstellingen;
namespace desktop {
class QtPlatform;
}
namespace tlvctrl {
class CtrlCheckbox;
}

// The main window: the two paths, the commands, the conversion run, watch
// mode with its tray icon, help and the about box.  Every control carries
// its system name as its object name.  Its source is split by concern:
// building and loading here, the paths and checks in _paths, the conversion
// run in _run, watch mode and the tray in _watch.
class FrmKeerpunten final : public QMainWindow, private component::IClsParseEvents {
    Q_OBJECT
public:
    FrmKeerpunten();
    ~FrmKeerpunten() override;

    // Creates, loads and shows the window (hidden in the tray when watch mode
    // is stored as on).  A failure during the load reaches the caller.
    static std::unique_ptr<FrmKeerpunten> Starten();
    // The tray's pictures: the program's icon while it waits, the busy sign during a run.
    static void set_tray_pictures(desktop::QtPlatform& platform);
    void Form_Load();
    void Form_Unload();

    // Paths, checks and the result label.
    void initControls();
    void ShowMessage(const std::string& text);
    void SetStatusPanel(int index, bool on);
    bool startCheck(bool report);
    void EnableConvert();
    void DisableConvert();
    void ShowExchangeInUse();
    void Opslaan();
    void BtnStrepla_Click();
    void BtnGartrip_Click();

    // The conversion run and the programs it starts.
    void Converteren();
    void RunGartrip();
    void RunStrepla();
    void CheckAutostartGartrip(bool report);
    void mnItemAutostartGartrip(bool init);

    // Watch mode and the tray icon.
    void mnItemStartVanStrepla(bool init);
    void mnItemStartVanStreplaAan();
    void mnItemStartVanStreplaUit();
    bool initTimer(bool on);
    bool initLoggers();
    bool CheckCanBeServer(bool report, bool apply);
    void naarSysteemvak(bool hide);
    void Timer1_Timer();
    void TrayMouse(int code);
    // Brings the window up, out of the tray or the task bar, in front.
    void show_window_normal();

    // The options dialog, help and about.
    void ShowOptions();
    void ShowAbout();

    // The mouse pointer as the system numbers it.
    enum Pointer : int { kPointerDefault = 0, kPointerArrow = 1, kPointerBusy = 11 };
    int MousePointer() const { return mouse_pointer_; }
    bool inTray() const { return in_tray_; }
    // Toolbar buttons by their index, 1 to 10 (separators at 2, 6 and 9).
    enum ButtonIndex : int {
        kButtonConvert = 1,
        kButtonAutostartGartrip = 3,
        kButtonWatch = 4,
        kButtonHide = 5,
        kButtonStrepla = 7,
        kButtonGartrip = 8,
        kButtonSave = 10,
    };
    QAction* Button(int index) const { return buttons_.at(static_cast<size_t>(index - 1)); }

signals:
    // The window has unloaded: the program ends.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_menus();
    void build_toolbar();
    void build_frames();
    void build_status_bar();
    void wire_commands();
    QAction* menu_action(QMenu* menu, const char* name, const char* caption,
                         const QKeySequence& shortcut = {});

    void Toolbar1_ButtonClick(const QString& key);
    // A menu command whose routine traps nothing: a failure is reported, never lost.
    void from_menu(const char* plaats, void (FrmKeerpunten::*routine)());
    void report(const char* plaats, std::string_view waarde = {}, bool melding = true);
    void SetMousePointer(int pointer);
    void set_panel(int index, const std::string& text, std::string_view room = {});
    void enable_convert_commands(bool on);
    void Text_Change(QLineEdit* field, std::string ClsInstellingen::*setting);
    void ckUseGps_Change();

    // The conversion run.
    void Progressie(std::string& aantRegels) override;
    void conversion_failed(const std::string& information);
    void check_loggers();
    void tray_tip(port::TrayPicture icon, std::string_view tip);

    // Watch mode.
    void show_watch_state(bool on);
    void carry_over(const std::shared_ptr<ClsAutoconvert>& watcher,
                    const std::shared_ptr<std::vector<ClsAutoLogger>>& loggers);
    void enable_watch_toggle(bool on);
    void leave_tray();

    // Controls.
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* BtnStrepla = nullptr;
    QPushButton* BtnGartrip = nullptr;
    tlvctrl::CtrlCheckbox* ckUseGps = nullptr;
    QLabel* lbResultaat = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QLabel* pcicon = nullptr;
    QTimer* Timer1 = nullptr;
    std::vector<QAction*> buttons_;
    std::vector<QLabel*> panels_;
    std::map<std::string, QAction*> menu_items_;
    QMenu* mnPopup = nullptr;
    QAction* item(const char* name) const { return menu_items_.at(name); }

    // State.
    std::shared_ptr<ClsInstellingen> settings_;
    std::optional<ParseComponent> objParse;
    // Shared: a tick holds them while a box's event loop may replace them.
    std::shared_ptr<ClsAutoconvert> watcher_;
    std::shared_ptr<std::vector<ClsAutoLogger>> logger_watchers_;
    bool in_tray_ = false;
    bool tray_available_ = false;
    bool in_tick_ = false;
    bool in_logger_check_ = false;
    bool conversion_box_open_ = false;  // a conversion's error box, shown inside a tick
    // Why watch mode went off when it could not go on (a path gone wrong):
    // the label shows it through every refresh until the next conversion.
    std::string last_path_fault_;
    std::string watch_off_reason_;
    bool unloaded_ = false;
    int mouse_pointer_ = 0;
    QElapsedTimer progress_clock_;
};

}  // namespace tlv
