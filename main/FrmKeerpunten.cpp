#include "main/FrmKeerpunten.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "desktop/qt_platform.h"
#include "desktop/twips.h"
#include "main/ModNotifyIcon.h"
#include "main/modHelp.h"
#include "shared/ClsError.h"
#include "shared/ClsInstellingen.h"
#include "shared/failure.h"
#include "shared/modInstellingen.h"
#include "shared/platform/port.h"
#include "tlvctrl/CtrlCheckbox.h"

// The pictures are compiled into the forms' library; a static library's
// resources are registered by hand.
static void register_pictures() { Q_INIT_RESOURCE(icons); }

namespace tlv {
namespace {

constexpr const char* kPathTip = "Vul hier het pad en bestandsnaam in of klik op ...";

// The toolbar, by index from 1: key, tooltip, picture; an empty key is a separator.
struct ToolbarButton {
    const char* key;
    const char* tooltip;
    const char* picture;
    bool two_state;
};
constexpr ToolbarButton kToolbar[] = {
    {"start1", "Start conversie F5", "start1", false},
    {"", "", "", false},
    {"autostartGartrip", "GARtrip starten na conversie", "autostartGartrip", true},
    {"nastrpla1", "Start na export Strepla", "naStrepla2", true},
    {"serverstate1", "Verbergen Ctrl + H", "verbergen1", false},
    {"", "", "", false},
    {"strepla", "Start Strepla Ctrl + T", "strepla", false},
    {"gartrip", "Start GARtrip Ctrl + G", "gartrip", false},
    {"", "", "", false},
    {"Save", "Instellingen opslaan Ctrl + S", "Save", false},
};

QIcon picture(const char* name) {
    return QIcon(QStringLiteral(":/icons/") + QString::fromLatin1(name) + QStringLiteral(".svg"));
}

}  // namespace

FrmKeerpunten::FrmKeerpunten() {
    register_pictures();
    setObjectName(QStringLiteral("FrmKeerpunten"));
    setWindowTitle(QStringLiteral("TolVANE"));
    setWindowIcon(picture("tolvane"));
    build_menus();
    build_toolbar();
    build_frames();
    build_status_bar();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &FrmKeerpunten::Timer1_Timer);
    wire_commands();
    // The convert commands wait for the first check that finds both paths.
    DisableConvert();
}

FrmKeerpunten::~FrmKeerpunten() {
    if (settings_ && !unloaded_) Form_Unload();
}

QAction* FrmKeerpunten::menu_action(QMenu* menu, const char* name, const char* caption,
                                    const QKeySequence& shortcut) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    menu_items_[name] = action;
    return action;
}

void FrmKeerpunten::build_menus() {
    QMenu* bestand = menuBar()->addMenu(QStringLiteral("&Bestand"));
    bestand->setObjectName(QStringLiteral("MnBestand"));
    menu_action(bestand, "mnOpslaan", "&Opslaan", QKeySequence(Qt::CTRL | Qt::Key_S));
    bestand->addSeparator();
    menu_action(bestand, "MnGARTripBestandMaken", "GARtrip &bestand maken",
                QKeySequence(Qt::Key_F5));
    menu_action(bestand, "MnGartripStarten", "&GARtrip starten",
                QKeySequence(Qt::CTRL | Qt::Key_G));
    menu_action(bestand, "mnStrepla", "&Strepla starten", QKeySequence(Qt::CTRL | Qt::Key_T));
    bestand->addSeparator();
    menu_action(bestand, "mnSystray", "&Verbergen", QKeySequence(Qt::CTRL | Qt::Key_H));
    menu_action(bestand, "mnSluiten2", "A&fsluiten");

    QMenu* instellen = menuBar()->addMenu(QStringLiteral("&Instellen"));
    instellen->setObjectName(QStringLiteral("MnInstellen"));
    menu_action(instellen, "mnPrograms", "&Opties");
    menu_action(instellen, "mnAutoStartStrepla", "&Start na export Strepla")->setCheckable(true);
    menu_action(instellen, "Autostart", "&Autostart GARtrip")->setCheckable(true);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnHelp"));
    menu_action(help, "MnHlpContents", "I&nhoud", QKeySequence(Qt::Key_F1));
    menu_action(help, "MnIndex", "&Index");
    help->addSeparator();
    menu_action(help, "mnInfo", "&Info");

    // The tray icon's pop-up menu, never shown in the menu bar.
    mnPopup = new QMenu(QStringLiteral("&Systray"), this);
    mnPopup->setObjectName(QStringLiteral("mnPopup"));
    menu_action(mnPopup, "mnHelpPopup", "&Help");
    mnPopup->addSeparator();
    menu_action(mnPopup, "mnPopGartBestMaken", "GARtrip &bestand maken");
    menu_action(mnPopup, "mnGartripPopup", "&Gartrip starten");
    mnPopup->addSeparator();
    menu_action(mnPopup, "mnSluiten", "A&fsluiten");
    menu_action(mnPopup, "mnOpenen", "&Openen");
}

void FrmKeerpunten::build_toolbar() {
    Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setIconSize(QSize(desktop::twips(240), desktop::twips(240)));
    for (const ToolbarButton& button : kToolbar) {
        if (*button.key == 0) {
            buttons_.push_back(Toolbar1->addSeparator());
            continue;
        }
        QAction* action =
            Toolbar1->addAction(picture(button.picture), QString::fromUtf8(button.tooltip));
        action->setObjectName(QString::fromLatin1(button.key));
        action->setToolTip(QString::fromUtf8(button.tooltip));
        action->setCheckable(button.two_state);
        action->setData(QString::fromLatin1(button.key));
        buttons_.push_back(action);
    }
    connect(Toolbar1, &QToolBar::actionTriggered, this,
            [this](QAction* action) { Toolbar1_ButtonClick(action->data().toString()); });
}

void FrmKeerpunten::build_frames() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(desktop::twips(60), desktop::twips(30), desktop::twips(60), 0);
    layout->setSpacing(desktop::twips(30));
    auto frame = [&](QGroupBox*& box, const char* name, const char* caption, QLineEdit*& text,
                     const char* text_name, QPushButton*& browse, const char* browse_name,
                     const char* browse_tip) {
        box = new QGroupBox(QString::fromUtf8(caption), central);
        box->setObjectName(QString::fromLatin1(name));
        text = new QLineEdit(box);
        text->setObjectName(QString::fromLatin1(text_name));
        text->setToolTip(QString::fromUtf8(kPathTip));
        text->installEventFilter(this);
        browse = new QPushButton(QStringLiteral("..."), box);
        browse->setObjectName(QString::fromLatin1(browse_name));
        browse->setToolTip(QString::fromUtf8(browse_tip));
        browse->setFixedWidth(desktop::twips(375));
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(desktop::twips(90), desktop::twips(30), desktop::twips(90),
                                desktop::twips(60));
        row->addWidget(text);
        row->addWidget(browse);
        layout->addWidget(box);
    };
    frame(Frame1, "Frame1", "Strepla Exchange", Text1, "Text1", BtnStrepla, "BtnStrepla",
          "Selecteer een Strepla Exchange bestand");
    frame(Frame2, "Frame2", "GARtrip text", Text2, "Text2", BtnGartrip, "BtnGartrip",
          "Bepaal de locatie en naam van het GARtrip text bestand");
    ckUseGps = new tlvctrl::CtrlCheckbox(central);
    ckUseGps->setObjectName(QStringLiteral("ckUseGps"));
    layout->addWidget(ckUseGps);
    lbResultaat = new QLabel(central);
    lbResultaat->setObjectName(QStringLiteral("lbResultaat"));
    lbResultaat->setAutoFillBackground(true);
    lbResultaat->setWordWrap(true);
    layout->addWidget(lbResultaat, 1);
    pcicon = new QLabel(central);
    pcicon->setObjectName(QStringLiteral("pcicon"));
    pcicon->setPixmap(picture("bezig").pixmap(16, 16));
    pcicon->hide();
    setCentralWidget(central);
}

void FrmKeerpunten::build_status_bar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    // A status bar ignores its width by default; its panels' widths hold the window's minimum.
    bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    for (int index = 1; index <= 3; ++index) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("Panel") + QString::number(index));
        panel->setFrameShape(index < 3 ? QFrame::Panel : QFrame::NoFrame);
        panel->setFrameShadow(QFrame::Sunken);
        bar->addWidget(panel);
        panel->hide();
        panels_.push_back(panel);
    }
}

void FrmKeerpunten::wire_commands() {
    auto on = [this](const char* name, auto&& action) {
        connect(item(name), &QAction::triggered, this, action);
    };
    on("mnOpslaan", [this] { from_menu("Opslaan", &FrmKeerpunten::Opslaan); });
    on("MnGARTripBestandMaken", [this] { Converteren(); });
    on("mnPopGartBestMaken", [this] { Converteren(); });
    on("MnGartripStarten", [this] { from_menu("RunGartrip", &FrmKeerpunten::RunGartrip); });
    on("mnGartripPopup", [this] { from_menu("RunGartrip", &FrmKeerpunten::RunGartrip); });
    on("mnStrepla", [this] { from_menu("RunStrepla", &FrmKeerpunten::RunStrepla); });
    on("mnSystray", [this] { naarSysteemvak(true); });
    on("mnSluiten2", [this] { close(); });
    on("mnSluiten", [this] { close(); });
    on("mnOpenen", [this] { show(); });
    on("mnPrograms", [this] { ShowOptions(); });
    on("mnAutoStartStrepla", [this] { mnItemStartVanStrepla(false); });
    on("Autostart", [this] { mnItemAutostartGartrip(false); });
    on("MnHlpContents", [] { modHelp::ShowHelpContents(); });
    on("MnIndex", [] { modHelp::ShowHelpIndex(); });
    on("mnHelpPopup", [] { modHelp::ShowHelpTopic(modHelp::kTopicWerkenVanuitSysteemvak); });
    on("mnInfo", [this] { ShowAbout(); });
    connect(BtnStrepla, &QPushButton::clicked, this, &FrmKeerpunten::BtnStrepla_Click);
    connect(BtnGartrip, &QPushButton::clicked, this, &FrmKeerpunten::BtnGartrip_Click);
    connect(Text1, &QLineEdit::textChanged, this,
            [this] { Text_Change(Text1, &ClsInstellingen::strStreplaFile); });
    connect(Text2, &QLineEdit::textChanged, this,
            [this] { Text_Change(Text2, &ClsInstellingen::strGartripFile); });
    connect(ckUseGps, &tlvctrl::CtrlCheckbox::Change, this, &FrmKeerpunten::ckUseGps_Change);
}

// Keys are compared case-sensitively; a failing action leaves no message.
void FrmKeerpunten::Toolbar1_ButtonClick(const QString& key) {
    try {
        if (key == QLatin1String("start1")) Converteren();
        if (key == QLatin1String("gartrip")) RunGartrip();
        if (key == QLatin1String("strepla")) RunStrepla();
        if (key == QLatin1String("autostartGartrip")) mnItemAutostartGartrip(false);
        if (key == QLatin1String("nastrpla1")) mnItemStartVanStrepla(false);
        if (key == QLatin1String("serverstate1")) naarSysteemvak(true);
        if (key == QLatin1String("Save")) Opslaan();
    } catch (...) {
    }
}

void FrmKeerpunten::from_menu(const char* plaats, void (FrmKeerpunten::*routine)()) {
    try {
        (this->*routine)();
    } catch (...) {
        report(plaats);
    }
}

void FrmKeerpunten::report(const char* plaats, std::string_view waarde, bool melding) {
    ClsError().error("FrmKeerpunten", current_failure_number(), plaats, waarde, melding);
}

std::unique_ptr<FrmKeerpunten> FrmKeerpunten::Starten() {
    auto window = std::make_unique<FrmKeerpunten>();
    window->Form_Load();
    return window;
}

void FrmKeerpunten::set_tray_pictures(desktop::QtPlatform& platform) {
    platform.set_tray_pictures(picture("tolvane"), picture("bezig"));
}

void FrmKeerpunten::Form_Load() {
    // The program ends through its unload alone: a box or the help window
    // closing while the window waits hidden in the tray must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    ckUseGps->Caption(QStringLiteral("Strepla &exchange exportbestand in gebruik"));
    // The stated size, or where Qt's widgets need more (a larger font, a
    // scale factor) what they need: nothing of the window is cut off.
    layout()->activate();
    resize(QSize(desktop::twips(6105), desktop::twips(3585)).expandedTo(minimumSizeHint()));
    objParse.emplace(new_conversion());
    settings_ = Instellingen();
    modHelp::SetHelpFile(port::join_path(port::application().folder, "tolvane.chm"));
    port::tray().set_mouse_handler([this](int code) { TrayMouse(code); });
    initControls();
    if (settings_->intAutoCheckStrepla == kSwitchOn) {
        naarSysteemvak(true);
    } else {
        setWindowState(Qt::WindowNoState);
        show();
    }
}

void FrmKeerpunten::Form_Unload() {
    unloaded_ = true;
    ModNotifyIcon::Delete();
    port::tray().set_mouse_handler(nullptr);
    if (settings_) settings_->Wegschrijven();
    settings_.reset();
    watcher_.reset();
    logger_watchers_.reset();
    InstellingenVrijgeven();
    emit unloaded();
}

void FrmKeerpunten::closeEvent(QCloseEvent* event) {
    if (!unloaded_) Form_Unload();
    event->accept();
}

}  // namespace tlv
