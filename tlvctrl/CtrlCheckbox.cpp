#include "tlvctrl/CtrlCheckbox.h"

#include <QCheckBox>
#include <QHBoxLayout>

namespace tlv::tlvctrl {

CtrlCheckbox::CtrlCheckbox(QWidget* parent) : QWidget(parent), box_(new QCheckBox(this)) {
    box_->setObjectName(QStringLiteral("box"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(QMargins());
    layout->addWidget(box_);
    setFocusProxy(box_);
    connect(box_, &QCheckBox::toggled, this, &CtrlCheckbox::Change);
}

QString CtrlCheckbox::Caption() const { return box_->text(); }
void CtrlCheckbox::Caption(const QString& caption) { box_->setText(caption); }

int CtrlCheckbox::CheckWithValue() const { return box_->isChecked() ? 1 : 0; }
void CtrlCheckbox::CheckWithValue(int value) { box_->setChecked(value == 1); }

}  // namespace tlv::tlvctrl
