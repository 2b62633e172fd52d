#include <QCheckBox>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>

#include "desktop/twips.h"
#include "main/frmOpties.h"
#include "tests/window/window_support.h"
#include "tlvctrl/ctrlGPS.h"
#include "tlvctrl/ctrlLoggers.h"

namespace tlv::testing {
namespace {

class Options : public WindowTest {
protected:
    void open(const std::string& settings_file) {
        folder.write("tolvane.kvr", settings_file);
        dialog = std::make_unique<frmOpties>(nullptr);
        dialog->show();
    }
};

TEST_F(Options, AutostartBoxFollowsTheSwitch) {
    for (const char* stored_value : {"0", "1", "2"}) {
        InstellingenVrijgeven();
        open(kvr("StartGartrip=" + std::string(stored_value) + "\r\n"));
        EXPECT_EQ(find<QCheckBox>("ckGartripStart")->isChecked(), *stored_value == '1');
        find<QCheckBox>("ckGartripStart")->setChecked(false);  // no GARtrip program: untick
        click("cmdOK");
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_THAT(stored(), HasSubstr("StartGartrip=2\r\n")) << stored_value;
    }
    // Ticked without a GARtrip program while both controls are valid: the question
    // names the option by its caption; No closes without saving, Yes stays.
    InstellingenVrijgeven();
    open(kvr("StreplaProgramma=\r\n"));
    find<QCheckBox>("ckGartripStart")->setChecked(true);
    const std::string autostart =
        "Als de optie \"&Autostart GARtrip\" aanstaat moet er een geldig pad staan in het veld "
        "GARtrip.";
    const FakeMessageBoxes::Box question = {
        autostart +
            "\r\nWilt u deze waarden veranderen, anders worden de gemaakte wijzigingen "
            "niet opgeslagen",
        "Kan wijzigingen niet opslaan", port::BoxStyle::Question};
    platform.boxes.expect(question, port::Answer::Yes);
    platform.boxes.expect(question, port::Answer::No);
    click("cmdOK");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(text("lbResultaat"), autostart);
    click("cmdOK");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(stored(), kvr("StreplaProgramma=\r\n"));
}

// Ctrl+Tab and Ctrl+Shift+Tab wrap around; the other page moves out of view
// and takes no keys there.
TEST_F(Options, CtrlTabStepsThroughThePagesBothWays) {
    open(kvr());
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    EXPECT_EQ(QApplication::focusWidget(), find("txtStrepla"));  // typing goes somewhere at once
    auto* tabs = find<QTabBar>("tbsOptions");
    QTest::keyClick(find("cmdOK"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(find("Picture1_1")->x(), desktop::twips(210));
    EXPECT_EQ(find("Picture1_0")->x(), desktop::twips(-20000));
    EXPECT_TRUE(find("Picture1_0")->isVisible());
    QTest::keyClick(dialog->windowHandle(), Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(find<QCheckBox>("ckGebrGPS")->isChecked());
    QTest::keyClick(dialog->windowHandle(), Qt::Key_F1);  // the options' help page
    ASSERT_EQ(platform.help.calls.size(), 1u);
    EXPECT_EQ(std::make_pair(platform.help.calls[0].command, platform.help.calls[0].context),
              std::make_pair(port::HelpCommand::Topic, 3060));
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_TRUE(find("Picture1_1")->isAncestorOf(QApplication::focusWidget()) ||
                    QApplication::focusWidget()->parentWidget() == dialog.get());
    }
    QTest::keyClick(dialog.get(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 0);
    QTest::keyClick(dialog.get(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs->currentIndex(), 1);
    QTest::keyClick(dialog.get(), Qt::Key_Tab);
    EXPECT_EQ(tabs->currentIndex(), 1);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);  // other keys reach the dialog: it closes
    EXPECT_FALSE(dialog->isVisible());
}

// Every problem shows whole: the strip grows above the tabs, which move down
// with the rest; an empty message restores the strip.
TEST_F(Options, MessageStripShowsEveryProblemWhole) {
    open(kvr());
    const int tabs = find("tbsOptions")->y(), height = dialog->height();
    QTest::keyClicks(find("txtStrepla"), QStringLiteral("weg.exe"));
    EXPECT_TRUE(highlighted("lbResultaat"));  // typing reports at once
    QTest::keyClicks(find("txtGartrip"), QStringLiteral("weg.exe"));
    find<QCheckBox>("ckGartripStart")->setChecked(true);
    auto* options = static_cast<frmOpties*>(dialog.get());
    options->ShowMessage(options->CollectErrors());
    auto* strip = find<QLabel>("lbResultaat");
    EXPECT_EQ(strip->text().count(QLatin1Char('\n')), 2);  // three problems, the last unended
    EXPECT_TRUE(strip->text().endsWith(QStringLiteral("in het veld GARtrip.")));
    EXPECT_GE(strip->height(), strip->heightForWidth(strip->width()));
    EXPECT_LE(strip->geometry().bottom(), find("tbsOptions")->y());
    EXPECT_TRUE(highlighted("lbResultaat"));
    find<QLineEdit>("txtStrepla")->clear();
    find<QLineEdit>("txtGartrip")->clear();
    find<QCheckBox>("ckGartripStart")->setChecked(false);
    options->ShowMessage("");
    EXPECT_EQ(std::make_tuple(text("lbResultaat"), find("tbsOptions")->y(), dialog->height()),
              std::make_tuple("", tabs, height));
    EXPECT_FALSE(highlighted("lbResultaat"));
}

// Rows come back byte for byte, inactive marks and extra fields included.
TEST_F(Options, LoggerRowsRoundTripThroughTheSettingsFile) {
    folder.write("col.exe", "MZ");
    folder.write("col.igc", "");
    const std::string loggers = "Loggers=eigen*Colibri*X*" + folder.file("col.exe") + "*" +
                                folder.file("col.igc") +
                                "*extra\r\nLoggers=*Volkslogger*x\r\nLoggers=*Kort\r\n";
    open(kvr(loggers));
    click("cmdOK");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(stored().ends_with("CheckForGARtrip=1\r\n" + loggers));

    InstellingenVrijgeven();  // "Verwijderen" removes the selected row, and only that one
    open(stored());
    find<QTabBar>("tbsOptions")->setCurrentIndex(1);
    auto* table = find<QTableWidget>("tblLoggers");  // a short program path on one line, whole
    table->item(0, 2)->setText(QStringLiteral("/home/piloot/col.exe"));
    EXPECT_TRUE(!table->wordWrap() &&
                table->columnWidth(2) >
                    table->fontMetrics().horizontalAdvance(table->item(0, 2)->text()));
    EXPECT_EQ(table->item(0, 3)->toolTip(), QString::fromStdString(folder.file("col.igc")));
    find<QTableWidget>("tblLoggers")->setCurrentCell(0, 0);
    click("cmdVerwijderen");
    for (auto [row, column] : {std::pair(0, 3), std::pair(1, 2), std::pair(1, 3)})  // lengthen
        find<QTableWidget>("tblLoggers")->item(row, column)->setText(QString::number(column));
    click("cmdOK");
    EXPECT_TRUE(stored().ends_with(
        "CheckForGARtrip=1\r\nLoggers=*Volkslogger*x**3\r\nLoggers=*Kort**2*3\r\n"));
}

TEST_F(Options, UnstorableTextsAreRefused) {
    open(kvr("Loggers=*Oud*X*a*b\r\n"));  // both rows are checked
    auto* loggers = find<tlvctrl::ctrlLoggers>("ctrlLoggers1");
    auto* table = find<QTableWidget>("tblLoggers");
    loggers->AddRow();  // a new row: no name, active
    EXPECT_EQ(
        std::tuple(table->item(1, 0)->text(), table->item(1, 1)->checkState(), table->currentRow()),
        std::tuple(QString(), Qt::Checked, 1));
    platform.dialogs.cancel();
    platform.dialogs.cancel();
    find<QTabBar>("tbsOptions")->setCurrentIndex(1);
    table->setCurrentCell(0, 0);  // each browse starts from the selected row's file
    click("cmdProgramma");
    click("cmdExport");
    using Kind = port::FileDialog::Kind;
    EXPECT_EQ(platform.dialogs.shown,
              (std::vector<port::FileDialog>{{Kind::Open, "Programma|*", 1, 0, "a"},
                                             {Kind::Open, "Exportbestand|*", 1, 0, "b"}}));
    table->item(1, 3)->setText(QStringLiteral("a*b"));  // a star in a path; in a name below
    EXPECT_THAT(loggers->CheckInput(),
                HasSubstr("Logger 2: een * kan niet in een naam of pad staan.\r\n"));
    table->item(1, 3)->setText(QString());
    table->item(1, 1)->setText(QStringLiteral("X"));  // active, without a name or files
    EXPECT_EQ(loggers->CheckInput(),
              "Logger Oud: het programmabestand bestaat niet.\r\nLogger Oud: het exportbestand "
              "bestaat niet.\r\nLogger 2: vul de naam van de logger in.\r\nLogger 2: het "
              "programmabestand bestaat niet.\r\nLogger 2: het exportbestand bestaat niet.\r\n");
    table->item(1, 0)->setText(QStringLiteral("a*b"));
    platform.boxes.expect(1, port::Answer::No);
    click("cmdOK");
    EXPECT_EQ(stored(), kvr("Loggers=*Oud*X*a*b\r\n"));

    InstellingenVrijgeven();
    open(kvr("StreplaProgramma=\r\n"));
    platform.boxes.expect(error_box("De bestandsnaam is ongeldig ?"));
    find<QLineEdit>("txtStrepla")->insert(QStringLiteral("\u20AD"));
    EXPECT_EQ(find<QLineEdit>("txtStrepla")->text(), QString());
    EXPECT_THAT(folder.read("error.log"),
                HasSubstr("] in [ctrlGPS]\r\nOpgetreden bij het uitvoeren van Change\r\n"));
    find<tlvctrl::ctrlGPS>("ctrlGPS1")->SetPrograms(folder.file("weg"), folder.path());
    EXPECT_EQ(find<tlvctrl::ctrlGPS>("ctrlGPS1")->CheckInput(),
              "Het veld StrePla bevat geen bestaand programmabestand.\r\nHet veld GARtrip bevat "
              "geen bestaand programmabestand.\r\n");
}

// The CUP and GPX rows: loaded from the settings, filled by a save dialog or by typing, checked
// for a plain file in an existing folder, and stored after the other keys.
TEST_F(Options, OutputRowsStoreCheckedPaths) {
    open(kvr("CupFile=" + folder.file("oud.cup") + "\r\n"));
    EXPECT_EQ(text("txtCup"), folder.file("oud.cup"));
    platform.dialogs.choose(folder.file("taak.gpx"));
    click("txtGpxBladeren");
    EXPECT_EQ(platform.dialogs.shown.at(0),
              (port::FileDialog{port::FileDialog::Kind::Save, "GPX (*.gpx)|*.gpx", 1,
                                port::FileDialog::kCreatePrompt, ""}));
    auto* gps = find<tlvctrl::ctrlGPS>("ctrlGPS1");
    for (const std::string& bad : {folder.file("geen map/taak.cup"), folder.path()}) {
        find<QLineEdit>("txtCup")->setText(QString::fromStdString(bad));
        EXPECT_EQ(gps->CheckInput(),
                  "Het veld SeeYou CUP bevat geen bestand in een bestaande map.\r\n")
            << bad;
    }
    find<QLineEdit>("txtCup")->setText(QString::fromStdString(folder.file("taak.cup")));
    EXPECT_EQ(gps->CheckInput(), "");
    click("cmdOK");
    EXPECT_TRUE(stored().ends_with("CheckForGARtrip=1\r\nCupFile=" + folder.file("taak.cup") +
                                   "\r\nGpxFile=" + folder.file("taak.gpx") + "\r\n"));
}

// Opened from the main window, modal: a browse fills the GARtrip field, what "Toepassen" applied
// stays when the dialog is then cancelled, and the window refreshes after it closes.
TEST_F(Options, AppliedValuesStayAfterACancel) {
    folder.write("GARtrip.exe", "MZ");
    load(kvr());
    EXPECT_FALSE(window->Button(FrmKeerpunten::kButtonGartrip)->isEnabled());
    platform.dialogs.choose(folder.file("GARtrip.exe"));
    QTimer::singleShot(0, [this] {
        auto* options = window->findChild<frmOpties*>(QStringLiteral("frmOpties"));
        ASSERT_NE(options, nullptr);
        click("txtGartripBladeren");
        find<QCheckBox>("ckGebrGPS")->setChecked(false);
        click("cmdApply");
        EXPECT_TRUE(options->isVisible());
        EXPECT_EQ(options->findChild<QLabel*>(QStringLiteral("lbResultaat"))->text(), QString());
        click("cmdCancel");
    });
    action("mnPrograms")->trigger();
    EXPECT_EQ(platform.dialogs.shown.at(0),
              (port::FileDialog{port::FileDialog::Kind::Open, "Programma|*", 1, 0, ""}));
    EXPECT_TRUE(window->Button(FrmKeerpunten::kButtonGartrip)->isEnabled());
    EXPECT_EQ(settings().strGartripProgram, folder.file("GARtrip.exe"));
    EXPECT_THAT(stored(), HasSubstr("GartipProgramma=" + folder.file("GARtrip.exe") + "\r\n"));
    EXPECT_THAT(stored(), HasSubstr("CheckForGARtrip=2\r\n"));
}

}  // namespace
}  // namespace tlv::testing
