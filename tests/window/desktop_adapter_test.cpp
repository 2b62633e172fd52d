#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <filesystem>

#include "desktop/help_viewer.h"
#include "desktop/qt_message_boxes.h"
#include "desktop/qt_platform.h"
#include "desktop/qt_tray.h"
#include "main/FrmKeerpunten.h"
#include "tests/support/fake_platform.h"
#include "tests/support/form_dump.h"

namespace tlv::desktop {
namespace {

TEST(Desktop, FileDialogIsSetUpAsAsked) {
    QString selected;
    EXPECT_EQ(qt_filter("Strepla export (*.ste)|*.ste", 1, selected),
              QStringLiteral("Strepla export (*.ste)"));
    EXPECT_EQ(qt_filter("Tekstbestand|*.txt|Alles|*.*", 2, selected),
              QStringLiteral("Tekstbestand (*.txt);;Alles (*.*)"));
    EXPECT_EQ(selected, QStringLiteral("Alles (*.*)"));
    EXPECT_EQ(qt_filter("Strepla export (*.txt)", 1, selected),
              QStringLiteral("Strepla export (*.txt)"));
    // Open asks for an existing file unless the create prompt is set; Save may name a new one; the
    // initial name is selected unless it is a pattern; a cancel gives the initial name back.  A
    // name without a Windows-1252 form is refused and the dialog shown again; a new name under the
    // create prompt is asked about first, saving without it asks nothing.
    using Kind = port::FileDialog::Kind;
    using Dialog = QFileDialog;
    const std::tuple<port::FileDialog, Dialog::FileMode, Dialog::AcceptMode> cases[] = {
        {{Kind::Open, "Programma|*", 1, 0, "*.exe"}, Dialog::ExistingFile, Dialog::AcceptOpen},
        {{Kind::Open, "Programma|*", 1, port::FileDialog::kCreatePrompt, "uit.txt"},
         Dialog::AnyFile,
         Dialog::AcceptOpen},
        {{Kind::Save, "Tekst|*.txt", 1, 0, "uit.txt"}, Dialog::AnyFile, Dialog::AcceptSave},
    };
    testing::TempFolder folder;
    testing::FakePlatform platform{folder.path()};
    const std::string chosen = folder.file("nieuw.txt");
    auto choose = [](QString name, auto check) {
        QTimer::singleShot(0, [name, check] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            check(*dialog);
            if (name.isEmpty()) return dialog->reject();
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
            static_cast<QDialog*>(dialog)->accept();  // as the dialog's Open button does
        });
    };
    for (const auto& [request, mode, accept] : cases) {
        const bool cancel = request.file_name.starts_with('*');
        choose(cancel ? QString() : QString::fromStdString(folder.file("nieuw")) + "\u20AD.txt",
               [&](QFileDialog& dialog) {
                   EXPECT_EQ(std::make_pair(dialog.fileMode(), dialog.acceptMode()),
                             std::make_pair(mode, accept));
                   EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(),
                             cancel ? QString() : QStringLiteral("uit.txt"));
               });
        if (!cancel) {
            platform.boxes.expect(
                testing::error_box("De bestandsnaam is ongeldig " + folder.file("nieuw?.txt")));
            platform.boxes.on_show = [&] { choose(QString::fromStdString(chosen), [](auto&) {}); };
        }
        if (request.flags)
            platform.boxes.expect({chosen + "\r\nDit bestand bestaat niet.\r\nWilt u het "
                                            "bestand maken?",
                                   "", port::BoxStyle::YesNo},
                                  port::Answer::Yes);
        EXPECT_EQ(QtFileDialogs().show(request), cancel ? request.file_name : chosen);
    }
    EXPECT_THAT(folder.read("error.log"), HasSubstr("in [CommonDialog1]\r\nOpgetreden bij het "
                                                    "uitvoeren van ShowOpen\r\n"));
    EXPECT_THAT(folder.read("error.log"), HasSubstr("uitvoeren van ShowSave\r\n"));
}

// A box's Dutch buttons and icon follow its style; it answers the button clicked, or unclicked
// (-1) its only button, else Cancel; it belongs to the active dialog and fits on the screen.
TEST(Desktop, BoxAnswersTheButtonClicked) {
    using B = QMessageBox;
    QDialog owner;
    owner.show();
    std::string text;
    while (text.size() < 2000) text += "Technische fout [Overflow]\r\n";
    for (auto [style, icon, texts_shown, clicked, answer] :
         {std::tuple(port::BoxStyle::YesNo, B::NoIcon, "&Ja,&Nee", 1, port::Answer::No),
          std::tuple(port::BoxStyle::ErrorReport, B::Warning, "Opnieuw proberen,Doorgaan,Annuleren",
                     1, port::Answer::Continue),
          std::tuple(port::BoxStyle::Question, B::Question, "&Ja,&Nee", -1, port::Answer::Cancel),
          std::tuple(port::BoxStyle::Information, B::Information, "OK", -1, port::Answer::Ok)}) {
        owner.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            QStringList texts;
            for (QAbstractButton* button : box->buttons()) texts << button->text();
            EXPECT_EQ(std::tuple(box->icon(), texts.join(','), box->parentWidget()),
                      std::tuple(icon, QString::fromUtf8(texts_shown), &owner));
            EXPECT_LE(box->frameGeometry().height(), box->screen()->availableGeometry().height());
            EXPECT_TRUE(box->text().endsWith(QStringLiteral("...")));
            // By role: No, and Continue after Try Again.
            clicked < 0 ? box->hide() : box->buttons().at(clicked)->click();
        });
        EXPECT_EQ(QtMessageBoxes().show(text, "Fout", style), answer);
    }
    // Without a system tray no icon is taken.  The tray shows the program's icon, or its busy sign.
    EXPECT_FALSE(!QSystemTrayIcon::isSystemTrayAvailable() &&
                 QtTrayIcons().notify(port::TrayCommand::Add, {}));
    QtPlatform platform;
    FrmKeerpunten::set_tray_pictures(platform);
    const auto& tray = dynamic_cast<const QtTrayIcons&>(port::tray());
    EXPECT_EQ(testing::picture_of(tray.picture(port::TrayPicture::WindowIcon)) + "," +
                  testing::picture_of(tray.picture(port::TrayPicture::Busy)),
              QStringLiteral("tolvane,bezig"));
}

TEST(Desktop, HelpViewerOpensThePageOfTheCommand) {
    testing::TempFolder folder;
    std::filesystem::create_directory(folder.file("help"));
    folder.write("help/3050.html", "<p>Systeemvak</p>");
    QtHelpViewer viewer;
    viewer.show(folder.file("tolvane.chm") + ">hoofd", port::HelpCommand::Topic, 3050);
    auto shown = [] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QStringLiteral("HelpWindow") && widget->isVisible())
                return qobject_cast<HelpWindow*>(widget);
        return static_cast<HelpWindow*>(nullptr);
    };
    HelpWindow* window = shown();
    ASSERT_NE(window, nullptr);
    auto* browser = window->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
    EXPECT_TRUE(browser->source().toLocalFile().endsWith(QStringLiteral("help/3050.html")));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Systeemvak")));
    folder.write("help/inhoud.html", "<p>Inhoud</p>");
    viewer.show(folder.file("tolvane.chm"), port::HelpCommand::Contents, 0);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Inhoud")));
    viewer.show(folder.file("tolvane.chm"), port::HelpCommand::Index, 0);
    EXPECT_THAT(browser->toPlainText().toStdString(),
                ::testing::MatchesRegex("Deze helppagina is niet gevonden: .*/help/index\\.html"));
    testing::expect_form(*window, "HelpWindow.txt");
    // Over a modal dialog: above it with the focus, whole on the screen; Escape closes it alone.
    QDialog dialog;
    QTimer::singleShot(0, [&] {
        const auto close = qScopeGuard([&] { dialog.reject(); });  // also on a failure
        viewer.show(folder.file("tolvane.chm"), port::HelpCommand::Topic, 3050);
        HelpWindow* help = shown();
        ASSERT_TRUE(help && QTest::qWaitForWindowActive(help));
        EXPECT_TRUE(help->screen()->availableGeometry().contains(help->frameGeometry()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_TRUE(!help->isVisible() && dialog.isVisible());
    });
    dialog.exec();
}

}  // namespace
}  // namespace tlv::desktop
