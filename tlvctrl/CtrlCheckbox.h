#pragma once

#include <QWidget>

class QCheckBox;

namespace tlv::tlvctrl {

// A check box with a caption and an integer value: CheckWithValue is 1 when
// ticked and 0 when not.  Change() is raised on every change of the value,
// by the user or by the program.
class CtrlCheckbox final : public QWidget {
    Q_OBJECT
public:
    explicit CtrlCheckbox(QWidget* parent = nullptr);

    QString Caption() const;
    void Caption(const QString& caption);  // "&" marks the mnemonic
    int CheckWithValue() const;
    void CheckWithValue(int value);

signals:
    void Change();

private:
    QCheckBox* box_;
};

}  // namespace tlv::tlvctrl
