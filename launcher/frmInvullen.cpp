#include "launcher/frmInvullen.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>

#include "desktop/qt_text.h"
#include "desktop/twips.h"
#include "launcher/modStart.h"
#include "shared/ClsError.h"
#include "shared/failure.h"
#include "shared/int16.h"
#include "shared/platform/port.h"

namespace tlv::launcher {
namespace {

using desktop::twips;

// Designed geometry in twips.
constexpr int kWidth = 6915;
constexpr int kLabelLeft = 120, kLabelWidth = 2175;
constexpr int kTextLeft = 2280, kTextWidth = 4095;
constexpr int kBrowseLeft = 6480, kBrowseWidth = 375;
constexpr int kRowHeight = 300;
constexpr int kOkLeft = 6120, kOkWidth = 735, kOkHeight = 350;
// The space between a row's field and its button; a widened label keeps it to its field.
constexpr int kGap = kBrowseLeft - (kTextLeft + kTextWidth);

void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

}  // namespace

frmInvullen::frmInvullen(std::vector<typMisser>& missers) : missers_(missers) {
    setObjectName(QStringLiteral("frmInvullen"));
    setWindowTitle(QStringLiteral("Extra gegevens invullen"));
    // The rows were laid out for an 8-point font; a larger one would cut the labels.
    QFont font = this->font();
    font.setPointSizeF(7.5);
    setFont(font);
    // The rows live in a scrolling area, so that a long list never makes the
    // dialog taller than the screen; "&Ok" stays below it, always visible.
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("Rows"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rows_ = new QWidget;
    scroll_->setWidget(rows_);
    // Row 0 is the hidden template of the rows; Reposition places each row it copies.
    auto* label = new QLabel(QStringLiteral("Label1"), rows_);
    auto* text = new QLineEdit(rows_);
    auto* browse = new QPushButton(QStringLiteral("..."), rows_);
    for (QWidget* element :
         {static_cast<QWidget*>(label), static_cast<QWidget*>(text), static_cast<QWidget*>(browse)})
        element->hide();
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            &frmInvullen::Help);
    labels_.push_back(label);
    texts_.push_back(text);
    buttons_.push_back(browse);
    Command2 = new QPushButton(QStringLiteral("&Ok"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setDefault(true);
    place(Command2, kOkLeft, ok_top_, kOkWidth, kOkHeight);
    connect(Command2, &QPushButton::clicked, this, &frmInvullen::Command2_Click);
    height_ = ok_top_ + kOkHeight + 240;
    fit_to_screen();
}

void frmInvullen::SetFilters(int16_t intAr, const std::string& strFilter) {
    filters_.resize(static_cast<size_t>(intAr) + 1);
    filters_[static_cast<size_t>(intAr)] = strFilter;
}

template <typename T>
T* frmInvullen::copy_of_template(std::vector<T*>& array, const T* element, int index) {
    if (static_cast<int>(array.size()) != index) tlv::raise(360, "Object already loaded");
    T* copy = new T(rows_);
    copy->setFont(element->font());
    array.push_back(copy);
    return copy;
}

// All arithmetic in 16 bits, each step checked, as the layout was designed.
void frmInvullen::Reposition(int16_t index) {
    try {
        row_count_ = index;
        int16_t base = add16(to_int16(int64_t{index} * 310), 480);
        int16_t top = add16(add16(to_int16(int64_t{index} * 310), 120), -300);
        QLineEdit* text = copy_of_template(texts_, texts_[0], index);
        text->setObjectName(QStringLiteral("Text1_") + QString::number(index));
        place(text, kTextLeft, top, kTextWidth, kRowHeight);
        text->show();
        if (index == 1) text->setFocus();  // typing starts in the first row
        values_.resize(static_cast<size_t>(index) + 1);
        connect(text, &QLineEdit::textChanged, this, [this, index] {
            desktop::take_text(Text1(index), values_.at(static_cast<size_t>(index)), "frmInvullen",
                               "Text1_Change");
        });
        QPushButton* browse = copy_of_template(buttons_, buttons_[0], index);
        browse->setObjectName(QStringLiteral("Command1_") + QString::number(index));
        browse->setText(QStringLiteral("..."));
        place(browse, kBrowseLeft, top, kBrowseWidth, kRowHeight);
        browse->show();
        connect(browse, &QPushButton::clicked, this, [this, index] { Bladeren(index); });
        QLabel* label = copy_of_template(labels_, labels_[0], index);
        label->setObjectName(QStringLiteral("Label1_") + QString::number(index));
        place(label, kLabelLeft, top, kLabelWidth, kRowHeight);
        label->show();
        row_tops_.resize(static_cast<size_t>(index) + 1);
        row_tops_[static_cast<size_t>(index)] = top;
        ok_top_ = add16(add16(base, 120), -300);
        place(Command2, kOkLeft, ok_top_, kOkWidth, kOkHeight);
        height_ = add16(base, 240) + kOkHeight;  // the button's height adds in wider arithmetic
        fit_to_screen();
    } catch (...) {
        ClsError().error("frmInvullen", current_failure_number(), __func__,
                         "Bij gemiste waarde " + std::to_string(index), true);
    }
}

// The designed size, or, where that is taller than the screen, as tall as the
// screen allows: the rows then scroll and "&Ok" sits at the bottom.
void frmInvullen::fit_to_screen() {
    const int designed = twips(height_);
    const QScreen* screen = this->screen();
    const int most = screen ? screen->availableGeometry().height() * 9 / 10 : designed;
    const int height = std::min(designed, most);
    const int ok_top = height == designed ? twips(ok_top_) : height - twips(kOkHeight + 240);
    const int rows_height = twips(ok_top_) - twips(60);
    rows_->resize(twips(kWidth) + extra_width_, rows_height);
    scroll_->setGeometry(0, 0, twips(kWidth) + extra_width_, std::min(rows_height, ok_top));
    Command2->move(twips(kOkLeft) + extra_width_, ok_top);
    setFixedSize(twips(kWidth) + extra_width_, height);
}

// A label wider than the designed column widens it, so that none is cut and
// the widest keeps the designed gap to its field; the text boxes, the browse
// buttons and "&Ok" move right by what the column grew.
void frmInvullen::showEvent(QShowEvent* event) {
    int widest = 0;
    for (int i = 1; i <= row_count_; ++i) widest = std::max(widest, Label1(i)->sizeHint().width());
    const int grow = twips(kLabelLeft) + widest + twips(kGap) - twips(kTextLeft) - extra_width_;
    if (widest > twips(kLabelWidth) && grow > 0) {
        extra_width_ += grow;
        for (int i = 1; i <= row_count_; ++i) {
            Label1(i)->resize(widest, Label1(i)->height());
            for (QWidget* moved :
                 {static_cast<QWidget*>(Text1(i)), static_cast<QWidget*>(Command1(i))})
                moved->move(moved->x() + grow, moved->y());
        }
        fit_to_screen();
    }
    desktop::keep_designed_outer_size(this);
    QDialog::showEvent(event);
}

// The dialog starts from the previous browse's name; a name that holds a
// path separator, or an empty one, becomes the row's text.  A cancel (the
// dialog hands the initial name back) leaves the row as it was.
void frmInvullen::Bladeren(int row) {
    port::FileDialog dialog{port::FileDialog::Kind::Open, filters_.at(static_cast<size_t>(row)), 1,
                            port::FileDialog::kCreatePrompt, file_name_};
    std::string chosen = port::file_dialogs().show(dialog);
    if (chosen == dialog.file_name) return;
    file_name_ = chosen;
    if (file_name_.empty() || file_name_.find(port::separator()) != std::string::npos)
        Text1(row)->setText(desktop::to_qt(file_name_));
}

// The texts as taken while typing: one without a Windows-1252 form was refused there.
void frmInvullen::Command2_Click() {
    for (int i = 1; i <= row_count_; ++i)
        missers_.at(static_cast<size_t>(i)).strWaarde = values_.at(static_cast<size_t>(i));
    accept();
}

// F1: the launcher's page of the help beside the programs.
void frmInvullen::Help() {
    try {
        port::help().show(port::join_path(port::application().folder, "tolvane.chm"),
                          port::HelpCommand::Topic, kHelpTopic);
    } catch (...) {
        ClsError().error("frmInvullen", current_failure_number(), __func__, {}, true);
    }
}

}  // namespace tlv::launcher
