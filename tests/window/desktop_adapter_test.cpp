#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <filesystem>

#include "desktop/help_viewer.h"
#include "desktop/qt_message_boxes.h"
#include "desktop/qt_tray.h"
#include "tests/support/fake_platform.h"
#include "tests/support/form_dump.h"

namespace tlv::desktop {
namespace {

TEST(Desktop, FileDialogFiltersModesAndInitialName) {
    QString selected;
    EXPECT_EQ(qt_filter("Strepla export (*.ste)|*.ste", 1, selected),
              QStringLiteral("Strepla export (*.ste)"));
    EXPECT_EQ(qt_filter("Tekstbestand|*.txt|Alles|*.*", 2, selected),
              QStringLiteral("Tekstbestand (*.txt);;Alles (*.*)"));
    EXPECT_EQ(selected, QStringLiteral("Alles (*.*)"));
    EXPECT_EQ(qt_filter("Strepla export (*.txt)", 1, selected),
              QStringLiteral("Strepla export (*.txt)"));
    // Open asks for an existing file unless the create prompt is set; Save may
    // name a new one; the initial name is selected unless it is a pattern; a
    // cancel gives the initial name back.
    using Kind = port::FileDialog::Kind;
    using Dialog = QFileDialog;
    const std::tuple<port::FileDialog, Dialog::FileMode, Dialog::AcceptMode> cases[] = {
        {{Kind::Open, "Programma|*", 1, 0, "*.exe"}, Dialog::ExistingFile, Dialog::AcceptOpen},
        {{Kind::Open, "Programma|*", 1, 0x2000, "uit.txt"}, Dialog::AnyFile, Dialog::AcceptOpen},
        {{Kind::Save, "Tekst|*.txt", 1, 0, "uit.txt"}, Dialog::AnyFile, Dialog::AcceptSave},
    };
    for (const auto& [request, mode, accept] : cases) {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(std::make_pair(dialog->fileMode(), dialog->acceptMode()),
                      std::make_pair(mode, accept));
            EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(),
                      request.file_name.starts_with('*') ? QString() : QStringLiteral("uit.txt"));
            dialog->reject();
        });
        EXPECT_EQ(QtFileDialogs().show(request), request.file_name);
    }
    // A name without a Windows-1252 form is refused and the dialog shown again;
    // a new name under the create prompt is asked about first.
    testing::TempFolder folder;
    testing::FakePlatform platform{folder.path()};
    const std::string chosen = folder.file("nieuw.txt");
    auto choose = [](QString name) {
        QTimer::singleShot(0, [name] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
            static_cast<QDialog*>(dialog)->accept();  // as the dialog's Open button does
        });
    };
    platform.boxes.expect(
        testing::error_box("De bestandsnaam is ongeldig " + folder.file("nieuw?.txt")));
    platform.boxes.on_show = [&] { choose(QString::fromStdString(chosen)); };
    platform.boxes.expect({chosen + "\r\nDit bestand bestaat niet.\r\nWilt u het bestand maken?",
                           "", port::BoxStyle::YesNo},
                          port::Answer::Yes);
    choose(QString::fromStdString(folder.file("nieuw")) + QStringLiteral("\u20AD.txt"));
    EXPECT_EQ(QtFileDialogs().show({Kind::Open, "Tekst|*.txt", 1, 0x2000, ""}), chosen);
    // Saving refuses the same name; then, without the prompt, a new name asks nothing.
    platform.boxes.expect(
        testing::error_box("De bestandsnaam is ongeldig " + folder.file("nieuw?.txt")));
    platform.boxes.on_show = [&] { choose(QString::fromStdString(chosen)); };
    choose(QString::fromStdString(folder.file("nieuw")) + QStringLiteral("\u20AD.txt"));
    EXPECT_EQ(QtFileDialogs().show({Kind::Save, "Tekst|*.txt", 1, 0, ""}), chosen);
    for (const char* dialog : {"ShowOpen", "ShowSave"})
        EXPECT_THAT(folder.read("error.log"),
                    HasSubstr(std::string("in [CommonDialog1]\r\nOpgetreden bij het uitvoeren van ") +
                              dialog + "\r\n"));
}

// Each style's icon and buttons (54: Cancel, then Try Again and Continue named
// in Dutch); the answer is the button clicked.
TEST(Desktop, BoxesShowTheirStylesIconAndButtonsAndAnswerTheOneClicked) {
    using Style = port::BoxStyle;
    using port::Answer;
    using B = QMessageBox;
    const struct {
        Style style;
        B::Icon icon;
        B::StandardButtons standard;
        QStringList own;
        B::StandardButton click;  // NoButton: "Doorgaan"
        Answer answer;
    } cases[] = {{Style::Ok, B::NoIcon, B::Ok, {}, B::Ok, Answer::Ok},
                 {Style::YesNo, B::NoIcon, B::Yes | B::No, {}, B::No, Answer::No},
                 {Style::Critical, B::Critical, B::Ok, {}, B::Ok, Answer::Ok},
                 {Style::ErrorReport, B::Warning, B::Cancel, {"Opnieuw proberen", "Doorgaan"},
                  B::NoButton, Answer::Continue},
                 {Style::Information, B::Information, B::Ok, {}, B::Ok, Answer::Ok}};
    for (const auto& c : cases) {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            QStringList own;
            for (QAbstractButton* button : box->buttons())
                if (box->standardButton(button) == B::NoButton) own << button->text();
            EXPECT_EQ(std::tuple(box->icon(), box->standardButtons(), own),
                      std::tuple(c.icon, c.standard, c.own));
            for (QAbstractButton* button : box->buttons())
                if (box->standardButton(button) == c.click && (c.click || button->text() == "Doorgaan"))
                    button->click();
        });
        EXPECT_EQ(QtMessageBoxes().show("tekst", "Fout", c.style), c.answer);
    }
    // Without a system tray no icon is taken.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        EXPECT_FALSE(QtTrayIcons().notify(port::TrayCommand::Add, {}));
    }
}

TEST(Desktop, HelpViewerOpensThePageOfTheCommand) {
    testing::TempFolder folder;
    std::filesystem::create_directory(folder.file("help"));
    folder.write("help/3050.html", "<p>Systeemvak</p>");
    QtHelpViewer viewer;
    viewer.show(folder.file("tolvane.chm") + ">hoofd", port::HelpCommand::Topic, 3050);
    HelpWindow* window = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("HelpWindow"))
            window = qobject_cast<HelpWindow*>(widget);
    ASSERT_NE(window, nullptr);
    auto* browser = window->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
    EXPECT_TRUE(browser->source().toLocalFile().endsWith(QStringLiteral("help/3050.html")));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Systeemvak")));
    folder.write("help/inhoud.html", "<p>Inhoud</p>");
    viewer.show(folder.file("tolvane.chm"), port::HelpCommand::Contents, 0);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Inhoud")));
    viewer.show(folder.file("tolvane.chm"), port::HelpCommand::Index, 0);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("niet gevonden")));
    testing::expect_form(*window, "HelpWindow.txt");
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace tlv::desktop
