#pragma once

#include <QDialog>
#include <memory>
#include <string>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QTabBar;

namespace tlv {

class ClsInstellingen;
namespace tlvctrl {
class ctrlGPS;
class ctrlLoggers;
}  // namespace tlvctrl

// "Opties instellen": the program paths, the loggers and the two switches,
// edited in the one shared settings object.  Only valid input is saved.
class frmOpties final : public QDialog {
    Q_OBJECT
public:
    explicit frmOpties(QWidget* owner);
    ~frmOpties() override;

    void ShowMessage(const std::string& text);
    std::string CollectErrors() const;
    std::string CheckAutostart() const;
    bool ValidateInput();
    void opslaan();
    void cmdOK_Click();
    void cmdApply_Click();
    void SelectTab(int index);  // from 0

signals:
    // "Toepassen" stored the values: the main window applies them at once.
    void applied();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    std::string validate();
    void build();
    void tbsOptions_Click();
    bool Form_KeyDown(QKeyEvent* event);

    QLabel* lbResultaat = nullptr;
    QFrame* Line1 = nullptr;
    QTabBar* tbsOptions = nullptr;
    QWidget* pages_[2] = {nullptr, nullptr};
    tlvctrl::ctrlGPS* ctrlGPS1 = nullptr;
    tlvctrl::ctrlLoggers* ctrlLoggers1 = nullptr;
    QFrame* Frame1 = nullptr;
    QCheckBox* ckGartripStart = nullptr;
    QCheckBox* ckGebrGPS = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdApply = nullptr;
    std::shared_ptr<ClsInstellingen> settings_;
};

}  // namespace tlv
