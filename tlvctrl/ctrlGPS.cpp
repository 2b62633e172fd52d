#include "tlvctrl/ctrlGPS.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "desktop/qt_text.h"
#include "desktop/twips.h"
#include "shared/modDirCheck.h"
#include "shared/platform/port.h"

namespace tlv::tlvctrl {

// A path row: its field's name, its label, the browse button's tip and dialog.
struct ctrlGPS::Row {
    const char* name;
    const char* label;
    const char* tip;
    port::FileDialog dialog;
};

namespace {

using Kind = port::FileDialog::Kind;

// An output path: a plain file or none yet, in a folder that exists.
bool output_path_valid(const std::string& path) {
    try {
        const port::Presence presence = port::files().examine(path);
        if (presence != port::Presence::Missing) return presence == port::Presence::PlainFile;
        const std::string folder = port::folder_of(path);
        return folder.empty() || port::files().examine(folder) == port::Presence::NotRegular;
    } catch (...) {  // a path that cannot be examined is no valid one
        return false;
    }
}

}  // namespace

ctrlGPS::ctrlGPS(QWidget* parent) : QWidget(parent) {
    static const Row kRows[] = {
        {"txtStrepla",
         "Programma StrePla",
         "Kies het programmabestand",
         {Kind::Open, "Programma|*", 1, 0, ""}},
        {"txtGartrip",
         "Programma GARtrip",
         "Kies het programmabestand",
         {Kind::Open, "Programma|*", 1, 0, ""}},
        {"txtCup",
         "SeeYou CUP",
         "Kies het SeeYou CUP-bestand",
         {Kind::Save, "SeeYou CUP (*.cup)|*.cup", 1, port::FileDialog::kCreatePrompt, ""}},
        {"txtGpx",
         "GPX",
         "Kies het GPX-bestand",
         {Kind::Save, "GPX (*.gpx)|*.gpx", 1, port::FileDialog::kCreatePrompt, ""}},
    };
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(QMargins());
    strepla_field_ = field(kRows[0], 0, strepla_);
    gartrip_field_ = field(kRows[1], 1, gartrip_);
    cup_field_ = field(kRows[2], 2, cup_);
    gpx_field_ = field(kRows[3], 3, gpx_);
    setFocusProxy(strepla_field_);  // focusing the control focuses its first field
}

QLineEdit* ctrlGPS::field(const Row& row, int index, std::string& value) {
    auto* grid = static_cast<QGridLayout*>(layout());
    auto* text = new QLineEdit(this);
    text->setObjectName(QString::fromLatin1(row.name));
    auto* caption = new QLabel(QString::fromUtf8(row.label), this);
    caption->setObjectName(QString::fromLatin1(row.name) + QStringLiteral("Label"));
    caption->setBuddy(text);
    auto* browse_button = new QPushButton(QStringLiteral("..."), this);
    browse_button->setObjectName(QString::fromLatin1(row.name) + QStringLiteral("Bladeren"));
    browse_button->setToolTip(QString::fromUtf8(row.tip));
    browse_button->setFixedWidth(desktop::twips(375));
    grid->addWidget(caption, index, 0);
    grid->addWidget(text, index, 1);
    grid->addWidget(browse_button, index, 2);
    connect(text, &QLineEdit::textChanged, this, [this, text, &value] {
        if (desktop::take_text(text, value, "ctrlGPS", "Change")) emit Message(CheckInput());
    });
    connect(browse_button, &QPushButton::clicked, this, [this, text, &row] { browse(text, row); });
    return text;
}

void ctrlGPS::browse(QLineEdit* text, const Row& row) {
    port::FileDialog dialog = row.dialog;
    dialog.file_name = desktop::from_qt_lossy(text->text());
    std::string chosen = port::file_dialogs().show(dialog);
    if (chosen != dialog.file_name) text->setText(desktop::to_qt(chosen));
}

void ctrlGPS::set_field(QLineEdit* field, std::string& value, const std::string& text) {
    QSignalBlocker quiet(field);
    field->setText(desktop::to_qt(text));
    value = text;
}

void ctrlGPS::SetPrograms(const std::string& strepla, const std::string& gartrip) {
    set_field(strepla_field_, strepla_, strepla);
    set_field(gartrip_field_, gartrip_, gartrip);
}

void ctrlGPS::SetOutputs(const std::string& cup, const std::string& gpx) {
    set_field(cup_field_, cup_, cup);
    set_field(gpx_field_, gpx_, gpx);
}

std::string ctrlGPS::CheckInput() const {
    std::string problems;
    if (!strepla_.empty() && !DirCheck(strepla_))
        problems += "Het veld StrePla bevat geen bestaand programmabestand.\r\n";
    if (!gartrip_.empty() && !DirCheck(gartrip_))
        problems += "Het veld GARtrip bevat geen bestaand programmabestand.\r\n";
    if (!cup_.empty() && !output_path_valid(cup_))
        problems += "Het veld SeeYou CUP bevat geen bestand in een bestaande map.\r\n";
    if (!gpx_.empty() && !output_path_valid(gpx_))
        problems += "Het veld GPX bevat geen bestand in een bestaande map.\r\n";
    return problems;
}

}  // namespace tlv::tlvctrl
