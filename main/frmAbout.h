#pragma once

#include <QDialog>

namespace tlv {

// The about box: product name, version (major.minor of the program), maker.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* owner);
};

}  // namespace tlv
