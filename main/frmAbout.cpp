#include "main/frmAbout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "main/FrmKeerpunten.h"
#include "shared/version.h"

namespace tlv {
namespace {

QLabel* label(QWidget* owner, const char* name, const QString& text) {
    auto* shown = new QLabel(text, owner);
    shown->setObjectName(QString::fromLatin1(name));
    return shown;
}

}  // namespace

frmAbout::frmAbout(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Info TolVANE"));
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picIcon"));
    picture->setPixmap(QIcon(QStringLiteral(":/icons/tolvane.svg")).pixmap(48, 48));
    auto* product = label(this, "lblTitle", QStringLiteral("TolVANE"));
    QFont large = product->font();
    large.setPointSizeF(large.pointSizeF() * 1.6);
    large.setBold(true);
    product->setFont(large);
    auto* version =
        label(this, "lbVersie",
              QStringLiteral("Versie: %1.%2").arg(version::kMajor).arg(version::kMinor));
    auto* description = label(this, "lblDescription",
                              QStringLiteral("Zet de keerpunten en taken van een StrePla exchange "
                                             "export om in een tekstbestand voor GARtrip."));
    description->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    for (QWidget* shown : {static_cast<QWidget*>(product), static_cast<QWidget*>(version),
                           static_cast<QWidget*>(description)})
        text->addWidget(shown);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ok, 0, Qt::AlignRight);
    setFixedWidth(360);
}

void FrmKeerpunten::ShowAbout() {
    frmAbout about(this);
    about.exec();
}

}  // namespace tlv
