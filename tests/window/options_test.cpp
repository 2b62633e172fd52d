#include <QCheckBox>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
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
    frmOpties& open(const std::string& settings_file) {
        folder.write("tolvane.kvr", settings_file);
        dialog = std::make_unique<frmOpties>(nullptr);
        dialog->show();
        return *dialog;
    }
    template <typename T = QWidget>
    T* in_dialog(const char* name) const {
        T* found = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char* button) {
        QTest::mouseClick(in_dialog<QPushButton>(button), Qt::LeftButton);
    }
    std::string label() const {
        return desktop::from_qt_lossy(in_dialog<QLabel>("lbResultaat")->text());
    }

    std::unique_ptr<frmOpties> dialog;
};

TEST_F(Options, AutostartIsTickedOnlyForOneAndSavedAsOneOrTwo) {
    for (const char* stored_value : {"0", "1", "2"}) {
        InstellingenVrijgeven();
        open(kvr("StartGartrip=" + std::string(stored_value) + "\r\n"));
        EXPECT_EQ(in_dialog<QCheckBox>("ckGartripStart")->isChecked(), *stored_value == '1');
        in_dialog<QCheckBox>("ckGartripStart")->setChecked(false);  // no GARtrip program: untick
        click("cmdOK");
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_THAT(stored(), HasSubstr("StartGartrip=2\r\n")) << stored_value;
    }
}

// Ticked without a GARtrip program while both controls are valid: the question
// names the option by its caption; No closes without saving, Yes stays.
TEST_F(Options, AutostartWithoutGartripAsksBeforeClosing) {
    open(kvr("StreplaProgramma=\r\n"));
    in_dialog<QCheckBox>("ckGartripStart")->setChecked(true);
    const std::string autostart =
        "Als de optie \"&Autostart GARtrip\" aanstaat moet er een geldig pad staan in het veld "
        "GARtrip.";
    const FakeMessageBoxes::Box question = {
        autostart +
            "\r\nWilt u deze waarden veranderen, anders worden de gemaakte wijzigingen "
            "niet opgeslagen",
        "Kan wijzigingen niet opslaan", port::BoxStyle::YesNo};
    platform.boxes.expect(question, port::Answer::Yes);
    platform.boxes.expect(question, port::Answer::No);
    click("cmdOK");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(label(), autostart);
    click("cmdOK");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(stored(), kvr("StreplaProgramma=\r\n"));
}

TEST_F(Options, AppliedValuesStayWhenTheDialogIsThenCancelled) {
    folder.write("GARtrip.exe", "MZ");
    open(kvr());
    QTest::keyClicks(in_dialog("txtGartrip"), desktop::to_qt(folder.file("GARtrip.exe")));
    in_dialog<QCheckBox>("ckGebrGPS")->setChecked(false);
    click("cmdApply");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(label(), "");
    click("cmdCancel");
    EXPECT_EQ(settings().strGartripProgram, folder.file("GARtrip.exe"));
    EXPECT_THAT(stored(), HasSubstr("GartipProgramma=" + folder.file("GARtrip.exe") + "\r\n"));
    EXPECT_THAT(stored(), HasSubstr("CheckForGARtrip=2\r\n"));
}

// Ctrl+Tab and Ctrl+Shift+Tab wrap around; the other page only moves out of view.
TEST_F(Options, CtrlTabStepsThroughThePagesBothWays) {
    open(kvr());
    auto* tabs = in_dialog<QTabBar>("tbsOptions");
    QTest::keyClick(in_dialog("cmdOK"), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(in_dialog("Picture1_1")->x(), desktop::twips(210));
    EXPECT_EQ(in_dialog("Picture1_0")->x(), desktop::twips(-20000));
    EXPECT_TRUE(in_dialog("Picture1_0")->isVisible());
    QTest::keyClick(dialog.get(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 0);
    QTest::keyClick(dialog.get(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs->currentIndex(), 1);
    QTest::keyClick(dialog.get(), Qt::Key_Tab);
    EXPECT_EQ(tabs->currentIndex(), 1);
}

TEST_F(Options, MessagesShowAndAnEmptyOneRestoresTheLabel) {
    open(kvr());
    QTest::keyClicks(in_dialog("txtStrepla"), QStringLiteral("weg.exe"));
    EXPECT_EQ(label(), "Het veld StrePla bevat geen bestaand programmabestand.\n");
    auto* shown = in_dialog<QLabel>("lbResultaat");
    EXPECT_EQ(shown->palette().color(QPalette::Window),
              shown->palette().color(QPalette::ToolTipBase));
    in_dialog<QLineEdit>("txtStrepla")->clear();
    EXPECT_EQ(label(), "");
    EXPECT_EQ(shown->palette().color(QPalette::Window), shown->palette().color(QPalette::Button));
}

// Rows come back byte for byte, inactive marks and extra fields included.
TEST_F(Options, LoggerRowsRoundTripThroughTheSettingsFile) {
    folder.write("col.exe", "MZ");
    folder.write("col.igc", "");
    const std::string loggers = "Loggers=eigen*Colibri*X*" + folder.file("col.exe") + "*" +
                                folder.file("col.igc") + "*extra\r\nLoggers=*Volkslogger*x*a*b\r\n";
    open(kvr(loggers));
    click("cmdOK");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(stored().ends_with("CheckForGARtrip=1\r\n" + loggers));
}

TEST_F(Options, StarInALoggerNameAndTextsWithoutAWindows1252FormAreRefused) {
    open(kvr());
    auto* loggers = in_dialog<tlvctrl::ctrlLoggers>("ctrlLoggers1");
    loggers->AddRow();
    in_dialog<QTableWidget>("tblLoggers")->item(0, 0)->setText(QStringLiteral("a*b"));
    EXPECT_THAT(loggers->CheckInput(),
                HasSubstr("Logger a*b: een * kan niet in een naam of pad staan.\r\n"));
    platform.boxes.expect(1, port::Answer::No);
    click("cmdOK");
    EXPECT_EQ(stored(), kvr());

    InstellingenVrijgeven();
    open(kvr("StreplaProgramma=\r\n"));
    platform.boxes.expect(error_box("De bestandsnaam is ongeldig ?"));
    in_dialog<QLineEdit>("txtStrepla")->insert(QStringLiteral("\u20AD"));
    EXPECT_EQ(in_dialog<QLineEdit>("txtStrepla")->text(), QString());
}

// Opened from the main window, modal; the window refreshes after it closes.
TEST_F(Options, MainWindowRefreshesAfterTheDialog) {
    folder.write("GARtrip.exe", "MZ");
    load(kvr());
    EXPECT_FALSE(window->Button(8)->isEnabled());
    QTimer::singleShot(0, [this] {
        auto* options = window->findChild<frmOpties*>(QStringLiteral("frmOpties"));
        ASSERT_NE(options, nullptr);
        options->findChild<QLineEdit*>(QStringLiteral("txtGartrip"))
            ->setText(desktop::to_qt(folder.file("GARtrip.exe")));
        options->cmdOK_Click();
    });
    action("mnPrograms")->trigger();
    EXPECT_TRUE(window->Button(8)->isEnabled());
}

}  // namespace
}  // namespace tlv::testing
