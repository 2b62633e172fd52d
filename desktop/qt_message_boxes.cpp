#include "desktop/qt_message_boxes.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <memory>

#include "desktop/qt_text.h"
#include "shared/ClsError.h"
#include "shared/failure.h"

namespace tlv::desktop {
namespace {

using port::Answer;

struct Button {
    QMessageBox::StandardButton standard;  // NoButton: a button with a text of its own
    const char* text;
    QMessageBox::ButtonRole role;
    Answer answer;
};

// The buttons of a style, in the order Windows shows them.
std::vector<Button> buttons_of(port::BoxStyle style) {
    switch (style) {
        case port::BoxStyle::YesNo:
        case port::BoxStyle::Question:
            return {{QMessageBox::Yes, nullptr, QMessageBox::YesRole, Answer::Yes},
                    {QMessageBox::No, nullptr, QMessageBox::NoRole, Answer::No}};
        case port::BoxStyle::ErrorReport:
            return {{QMessageBox::Cancel, nullptr, QMessageBox::RejectRole, Answer::Cancel},
                    {QMessageBox::NoButton, "Opnieuw proberen", QMessageBox::AcceptRole,
                     Answer::TryAgain},
                    {QMessageBox::NoButton, "Doorgaan", QMessageBox::AcceptRole, Answer::Continue}};
        default:
            return {{QMessageBox::Ok, nullptr, QMessageBox::AcceptRole, Answer::Ok}};
    }
}

QMessageBox::Icon icon_of(port::BoxStyle style) {
    switch (style) {
        case port::BoxStyle::Critical:
            return QMessageBox::Critical;
        case port::BoxStyle::ErrorReport:
            return QMessageBox::Warning;
        case port::BoxStyle::Information:
            return QMessageBox::Information;
        case port::BoxStyle::Question:
            return QMessageBox::Question;
        default:
            return QMessageBox::NoIcon;
    }
}

// The window a box or dialog belongs to: the active dialog or main window,
// never a helper window (the tray icon's own, say), which may be destroyed
// while the box is up and would take the box with it.
QWidget* owner_window() {
    QWidget* active = QApplication::activeWindow();
    return qobject_cast<QDialog*>(active) || qobject_cast<QMainWindow*>(active) ? active : nullptr;
}

QString title_or_program(std::string_view title) {
    return title.empty() ? to_qt(port::application().title) : to_qt(title);
}

// A text too long for the screen (a conversion's every fault, say) keeps the
// lines that fit and ends in "..."; the error log holds the whole report.
void fit_on_screen(QMessageBox& box) {
    const QScreen* screen = box.screen();
    if (!screen) return;
    const int most = screen->availableGeometry().height() * 3 / 4;
    QStringList lines = box.text().split(QLatin1Char('\n'));
    while (box.sizeHint().height() > most && lines.size() > 1) {
        lines = lines.mid(0, lines.size() * 3 / 4);
        box.setText(lines.join(QLatin1Char('\n')) + QStringLiteral("\n..."));
    }
}

}  // namespace

Answer QtMessageBoxes::show(std::string_view text, std::string_view title, port::BoxStyle style) {
    // On the heap, watched: should its owner go while it is up, the box goes
    // with it and counts as cancelled.
    QPointer<QMessageBox> box = new QMessageBox(icon_of(style), title_or_program(title),
                                                to_qt(text), QMessageBox::NoButton, owner_window());
    std::vector<std::pair<QAbstractButton*, Answer>> answers;
    for (const Button& button : buttons_of(style)) {
        QAbstractButton* added =
            button.standard != QMessageBox::NoButton
                ? static_cast<QAbstractButton*>(box->addButton(button.standard))
                : box->addButton(QString::fromUtf8(button.text), button.role);
        answers.emplace_back(added, button.answer);
    }
    box->setDefaultButton(static_cast<QPushButton*>(answers.front().first));
    fit_on_screen(*box);
    box->exec();
    if (!box) return Answer::Cancel;
    std::unique_ptr<QMessageBox> done(box.data());
    for (const auto& [button, answer] : answers)
        if (done->clickedButton() == button) return answer;
    return answers.size() == 1 ? answers.front().second : Answer::Cancel;
}

QString qt_filter(std::string_view filter, int filter_index, QString& selected) {
    QStringList parts = to_qt(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        QString description = parts[i];
        if (i + 1 < parts.size() && !description.contains(QLatin1Char('(')))
            description += QStringLiteral(" (") + QString(parts[i + 1]).replace(';', ' ') + ')';
        filters << description;
    }
    int index = filter_index >= 1 && filter_index <= filters.size() ? filter_index - 1 : 0;
    selected = filters.value(index);
    return filters.join(QStringLiteral(";;"));
}

std::string QtFileDialogs::show(const port::FileDialog& request) {
    QFileDialog dialog(owner_window());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    bool save = request.kind == port::FileDialog::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    bool may_create = save || (request.flags & port::FileDialog::kCreatePrompt) != 0;
    dialog.setFileMode(may_create ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QString selected;
    dialog.setNameFilter(qt_filter(request.filter, request.filter_index, selected));
    dialog.selectNameFilter(selected);
    QString initial = to_qt(request.file_name);
    if (!initial.contains(QLatin1Char('*')) && !initial.isEmpty()) dialog.selectFile(initial);

    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        // In the platform's own form (backslashes on Windows), as the fields and settings hold it.
        QString chosen = QDir::toNativeSeparators(dialog.selectedFiles().front());
        std::optional<std::string> name = from_qt(chosen);
        if (!name) {
            ClsError().error("CommonDialog1", err::kInvalidFileName, save ? "ShowSave" : "ShowOpen",
                             from_qt_lossy(chosen), true);
            continue;
        }
        bool ask =
            (request.flags & port::FileDialog::kCreatePrompt) != 0 && !QFileInfo::exists(chosen);
        if (ask && port::message_boxes().show(*name + "\r\nDit bestand bestaat niet.\r\n"
                                                      "Wilt u het bestand maken?",
                                              "", port::BoxStyle::YesNo) != Answer::Yes)
            continue;
        return *name;
    }
    return request.file_name;
}

}  // namespace tlv::desktop
