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

ctrlGPS::ctrlGPS(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(QMargins());
    strepla_field_ = field("txtStrepla", "Programma StrePla", 0, strepla_);
    gartrip_field_ = field("txtGartrip", "Programma GARtrip", 1, gartrip_);
    setFocusProxy(strepla_field_);  // focusing the control focuses its first field
}

QLineEdit* ctrlGPS::field(const char* name, const char* label, int row, std::string& value) {
    auto* grid = static_cast<QGridLayout*>(layout());
    auto* text = new QLineEdit(this);
    text->setObjectName(QString::fromLatin1(name));
    auto* caption = new QLabel(QString::fromUtf8(label), this);
    caption->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
    caption->setBuddy(text);
    auto* browse_button = new QPushButton(QStringLiteral("..."), this);
    browse_button->setObjectName(QString::fromLatin1(name) + QStringLiteral("Bladeren"));
    browse_button->setToolTip(QStringLiteral("Kies het programmabestand"));
    browse_button->setFixedWidth(desktop::twips(375));
    grid->addWidget(caption, row, 0);
    grid->addWidget(text, row, 1);
    grid->addWidget(browse_button, row, 2);
    connect(text, &QLineEdit::textChanged, this, [this, text, &value] {
        if (desktop::take_text(text, value, "ctrlGPS", "Change")) emit Message(CheckInput());
    });
    connect(browse_button, &QPushButton::clicked, this, [this, text] { browse(text); });
    return text;
}

void ctrlGPS::browse(QLineEdit* text) {
    port::FileDialog dialog{port::FileDialog::Kind::Open, "Programma|*", 1, 0,
                            desktop::from_qt_lossy(text->text())};
    std::string chosen = port::file_dialogs().show(dialog);
    if (chosen != dialog.file_name) text->setText(desktop::to_qt(chosen));
}

void ctrlGPS::SetPrograms(const std::string& strepla, const std::string& gartrip) {
    QSignalBlocker quiet_strepla(strepla_field_), quiet_gartrip(gartrip_field_);
    strepla_field_->setText(desktop::to_qt(strepla));
    gartrip_field_->setText(desktop::to_qt(gartrip));
    strepla_ = strepla;
    gartrip_ = gartrip;
}

std::string ctrlGPS::CheckInput() const {
    std::string problems;
    if (!strepla_.empty() && !DirCheck(strepla_))
        problems += "Het veld StrePla bevat geen bestaand programmabestand.\r\n";
    if (!gartrip_.empty() && !DirCheck(gartrip_))
        problems += "Het veld GARtrip bevat geen bestaand programmabestand.\r\n";
    return problems;
}

}  // namespace tlv::tlvctrl
