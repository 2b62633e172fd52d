#include "main/frmOpties.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>

#include "desktop/qt_text.h"
#include "desktop/twips.h"
#include "main/FrmKeerpunten.h"
#include "main/modHelp.h"
#include "shared/ClsError.h"
#include "shared/ClsInstellingen.h"
#include "shared/failure.h"
#include "shared/modDirCheck.h"
#include "shared/modInstellingen.h"
#include "shared/platform/port.h"
#include "tlvctrl/ctrlGPS.h"
#include "tlvctrl/ctrlLoggers.h"

namespace tlv {
namespace {

using desktop::twips;
using desktop::twips_rect;

constexpr int kShownLeft = 210;      // twips: the selected page
constexpr int kHiddenLeft = -20000;  // twips: every other page, out of view

template <typename T>
T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void report(const char* plaats) {
    ClsError().error("FrmOpties", current_failure_number(), plaats, "", true);
}

}  // namespace

frmOpties::frmOpties(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmOpties"));
    setWindowTitle(QStringLiteral("Opties instellen"));
    build();
    Form_Load();
}

frmOpties::~frmOpties() = default;

void frmOpties::build() {
    lbResultaat = named(new QLabel(this), "lbResultaat");
    lbResultaat->setGeometry(twips_rect(0, 0, 7815, 375));
    lbResultaat->setAutoFillBackground(true);
    lbResultaat->setWordWrap(true);
    lbResultaat->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Line1 = named(new QFrame(this), "Line1");
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setGeometry(twips_rect(0, 345, 7800, 30));
    tbsOptions = named(new QTabBar(this), "tbsOptions");
    tbsOptions->addTab(QStringLiteral("GPS"));
    tbsOptions->addTab(QStringLiteral("Loggers"));
    tbsOptions->setGeometry(0, twips(420), twips(7695), tbsOptions->sizeHint().height());
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    int panel_top = twips(420) + tbsOptions->sizeHint().height() - 1;
    panel->setGeometry(0, panel_top, twips(7695), twips(420 + 3780) - panel_top);

    pages_[0] = named(new QWidget(this), "Picture1_0");
    pages_[0]->setGeometry(twips_rect(120, 840, 6255, 3030));
    ctrlGPS1 = named(new tlvctrl::ctrlGPS(pages_[0]), "ctrlGPS1");
    ctrlGPS1->setGeometry(twips_rect(0, 0, 6015, 1950));
    Frame1 = named(new QFrame(pages_[0]), "Frame1");
    Frame1->setGeometry(twips_rect(0, 1935, 6015, 975));
    ckGartripStart =
        named(new QCheckBox(QStringLiteral("&Autostart GARtrip"), Frame1), "ckGartripStart");
    ckGartripStart->setGeometry(twips_rect(720, 120, 4815, 375));
    ckGebrGPS =
        named(new QCheckBox(QStringLiteral("Strepla &exchange exportbestand in gebruik"), Frame1),
              "ckGebrGPS");
    ckGebrGPS->setGeometry(twips_rect(720, 600, 3855, 255));
    ckGebrGPS->adjustSize();

    pages_[1] = named(new QWidget(this), "Picture1_1");
    pages_[1]->resize(twips(7215), twips(2175));
    ctrlLoggers1 = named(new tlvctrl::ctrlLoggers(pages_[1]), "ctrlLoggers1");
    ctrlLoggers1->setGeometry(twips_rect(0, 0, 7215, 2175));

    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    cmdOK->setGeometry(twips_rect(3840, 4215, 1215, 375));
    cmdOK->setDefault(true);
    cmdCancel = named(new QPushButton(QStringLiteral("&Annuleren"), this), "cmdCancel");
    cmdCancel->setGeometry(twips_rect(5160, 4215, 1215, 375));
    cmdApply = named(new QPushButton(QStringLiteral("&Toepassen"), this), "cmdApply");
    cmdApply->setGeometry(twips_rect(6480, 4215, 1215, 375));

    connect(cmdOK, &QPushButton::clicked, this, &frmOpties::cmdOK_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmOpties::cmdApply_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);  // Esc does the same
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [] { modHelp::ShowHelpTopic(modHelp::kTopicOpties); });
    connect(tbsOptions, &QTabBar::currentChanged, this, &frmOpties::tbsOptions_Click);
    connect(ctrlGPS1, &tlvctrl::ctrlGPS::Message, this, &frmOpties::ShowMessage);
    connect(ctrlLoggers1, &tlvctrl::ctrlLoggers::Message, this, &frmOpties::ShowMessage);
    for (QWidget* forwarding :
         std::initializer_list<QWidget*>{cmdOK, cmdCancel, cmdApply, tbsOptions})
        forwarding->installEventFilter(this);
    for (QWidget* page : pages_) page->installEventFilter(this);
}

void frmOpties::Form_Load() {
    try {
        resize(twips(7860), twips(5070));
        ctrlGPS1->HelpFile = modHelp::HelpFile();
        ctrlLoggers1->HelpFile = modHelp::HelpFile();
        settings_ = Instellingen();
        ctrlGPS1->SetPrograms(settings_->strStreplaProgram, settings_->strGartripProgram);
        ctrlGPS1->SetOutputs(settings_->strCupFile, settings_->strGpxFile);
        ctrlLoggers1->LoggerList(settings_->instloggers());
        pages_[1]->move(pages_[0]->pos());
        ckGartripStart->setChecked(settings_->intAutostart == kSwitchOn);
        ckGebrGPS->setChecked(settings_->blnUseGPS());
        tbsOptions->setCurrentIndex(0);
        tbsOptions_Click();
        ctrlGPS1->setFocus();  // typing goes to the first field at once
    } catch (...) {
        report(__func__);
    }
}

// Every page stays shown; the unselected ones move out of view and take no
// keys there (no Alt+letter, no Tab reaches a control the user cannot see).
void frmOpties::tbsOptions_Click() {
    try {
        for (int page = 0; page < 2; ++page) {
            bool selected = page == tbsOptions->currentIndex();
            pages_[page]->move(twips(selected ? kShownLeft : kHiddenLeft), pages_[page]->y());
            pages_[page]->setEnabled(selected);
        }
    } catch (...) {
        report(__func__);
    }
}

void frmOpties::showEvent(QShowEvent* event) {
    desktop::keep_designed_outer_size(this);
    QDialog::showEvent(event);
}

void frmOpties::SelectTab(int index) { tbsOptions->setCurrentIndex(index); }

// The strip grows with its problems, so that each shows whole; the rest of
// the dialog moves down with it, and back when the problems are gone.
void frmOpties::ShowMessage(const std::string& text) {
    desktop::show_message(lbResultaat, text);
    int needed = std::max(twips(375), lbResultaat->heightForWidth(lbResultaat->width()));
    int grow = needed - lbResultaat->height();
    if (grow == 0) return;
    lbResultaat->resize(lbResultaat->width(), needed);
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child != lbResultaat && !child->isWindow()) child->move(child->x(), child->y() + grow);
    resize(width(), height() + grow);
}

std::string frmOpties::CheckAutostart() const {
    if (!ckGartripStart->isChecked() || DirCheck(ctrlGPS1->GartripProgram())) return {};
    return "Als de optie \"" + desktop::from_qt_lossy(ckGartripStart->text()) +
           "\" aanstaat moet er een geldig pad staan in het veld GARtrip.";
}

std::string frmOpties::CollectErrors() const {
    return ctrlLoggers1->CheckInput() + ctrlGPS1->CheckInput() + CheckAutostart();
}

bool frmOpties::ValidateInput() { return validate().empty(); }

// Shows what is wrong (nothing when all is well) and returns it.
std::string frmOpties::validate() {
    std::string errors = CollectErrors();
    ShowMessage(errors);
    return errors;
}

void frmOpties::opslaan() {
    try {
        settings_->instloggers(ctrlLoggers1->LoggerList());
        settings_->strGartripProgram = ctrlGPS1->GartripProgram();
        settings_->strStreplaProgram = ctrlGPS1->StreplaProgram();
        settings_->strCupFile = ctrlGPS1->CupFile();
        settings_->strGpxFile = ctrlGPS1->GpxFile();
        settings_->intAutostart = ckGartripStart->isChecked() ? kSwitchOn : kSwitchOff;
        settings_->blnUseGPS(ckGebrGPS->isChecked());
        settings_->Wegschrijven();
    } catch (...) {
        report(__func__);
    }
}

void frmOpties::cmdOK_Click() {
    std::string errors = validate();
    if (errors.empty()) {
        opslaan();
        accept();
        return;
    }
    port::Answer answer = port::message_boxes().show(
        errors +
            "\r\nWilt u deze waarden veranderen, anders worden de gemaakte wijzigingen "
            "niet opgeslagen",
        "Kan wijzigingen niet opslaan", port::BoxStyle::Question);
    if (answer == port::Answer::No) reject();
}

void frmOpties::cmdApply_Click() {
    if (!ValidateInput()) return;
    opslaan();
    emit applied();
}

// Ctrl+Tab and Ctrl+Shift+Tab step through the tabs, wrapping around.
bool frmOpties::Form_KeyDown(QKeyEvent* event) {
    try {
        Qt::KeyboardModifiers mask = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
        bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
        if (!tab || !(mask & Qt::ControlModifier)) return false;
        int count = tbsOptions->count();
        int step = (mask & Qt::ShiftModifier) || event->key() == Qt::Key_Backtab ? count - 1 : 1;
        tbsOptions->setCurrentIndex((tbsOptions->currentIndex() + step) % count);
        return true;
    } catch (...) {
        report(__func__);
        return true;
    }
}

void frmOpties::keyPressEvent(QKeyEvent* event) {
    if (!Form_KeyDown(event)) QDialog::keyPressEvent(event);
}

bool frmOpties::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && Form_KeyDown(static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

// "&Opties" in the main window: modal, owned by the window, then a refresh.
void FrmKeerpunten::ShowOptions() {
    {
        frmOpties options(this);
        connect(&options, &frmOpties::applied, this, &FrmKeerpunten::initControls);
        options.exec();
    }
    initControls();
}

}  // namespace tlv
