#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace tlv::launcher {

struct typMisser;

// "Extra gegevens invullen": one row per missing path (a label, a text box,
// a browse button), laid out in twips and growing downwards.  "&Ok" hands the
// texts back to the launcher's list; the close box hands back nothing.
class frmInvullen final : public QDialog {
    Q_OBJECT
public:
    explicit frmInvullen(std::vector<typMisser>& missers);

    void SetFilters(int16_t intAr, const std::string& strFilter);
    // Creates and lays out row `index`, moves "&Ok" below it and sizes the
    // dialog; a row that exists already or arithmetic past 16 bits is reported.
    void Reposition(int16_t index);
    void Bladeren(int row);
    // F1: the help page about the launcher.
    void Help();
    static constexpr int32_t kHelpTopic = 3070;
    void Command2_Click();

    // Element i of the row arrays (element 0 is the invisible template).
    QLabel* Label1(int i) const { return labels_.at(static_cast<size_t>(i)); }
    QLineEdit* Text1(int i) const { return texts_.at(static_cast<size_t>(i)); }
    QPushButton* Command1(int i) const { return buttons_.at(static_cast<size_t>(i)); }
    int16_t RowCount() const { return row_count_; }
    // The layout in twips, as designed: a row's top, the button's top, the height.
    int RowTopTwips(int i) const { return row_tops_.at(static_cast<size_t>(i)); }
    int OkTopTwips() const { return ok_top_; }
    int HeightTwips() const { return height_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fit_to_screen();
    template <typename T>
    T* copy_of_template(std::vector<T*>& array, const T* element, int index);

    std::vector<typMisser>& missers_;
    std::vector<QLabel*> labels_;
    std::vector<QLineEdit*> texts_;
    std::vector<QPushButton*> buttons_;
    std::vector<int> row_tops_{120};
    std::vector<std::string> filters_{""};
    QPushButton* Command2 = nullptr;
    QScrollArea* scroll_ = nullptr;
    QWidget* rows_ = nullptr;  // the rows, in twips as designed, inside the scrolling area
    int extra_width_ = 0;      // pixels the label column grew to show its widest label
    int16_t row_count_ = 0;
    int ok_top_ = 1680;
    int height_ = 0;
    std::string file_name_;                // the file dialog's name, kept from browse to browse
    std::vector<std::string> values_{""};  // each row's text in Windows-1252
};

}  // namespace tlv::launcher
