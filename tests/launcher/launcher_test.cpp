#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "desktop/twips.h"
#include "launcher/frmInvullen.h"
#include "launcher/modStart.h"
#include "shared/ClsInstellingen.h"
#include "tests/support/fake_platform.h"
#include "tests/support/form_dump.h"

namespace tlv::launcher {
namespace {

class Launcher : public testing::InFolder {
protected:
    void SetUp() override {
        platform.application.title = "tlvexpress";
        for (const std::string& program : {std::string("StrePla.exe"), std::string("GARtrip.exe"),
                                           tolvane, std::string("logger.exe")})
            folder.write(program, "MZ");
        folder.write("export.ste", "");
        folder.write("vlucht.igc", "");
        // A modal fill-in dialog goes to the test's handler, or fails the test.
        watchdog.setInterval(20);
        QObject::connect(&watchdog, &QTimer::timeout, [this] {
            auto* form = qobject_cast<frmInvullen*>(QApplication::activeModalWidget());
            if (!form) return;
            if (dialogs.empty()) {
                ADD_FAILURE() << "unexpected fill-in dialog";
                form->reject();
                return;
            }
            auto handle = std::move(dialogs.front());
            dialogs.erase(dialogs.begin());
            handle(*form);
        });
        watchdog.start();
    }
    void TearDown() override {
        EXPECT_TRUE(dialogs.empty()) << "a scripted fill-in dialog never showed";
    }

    std::string kvr(const std::string& lines) const {
        return "StrePlaFile=" + folder.file("export.ste") +
               "\r\nGartripFile=" + folder.file("nog niet.txt") +
               "\r\nGartipProgramma=" + folder.file("GARtrip.exe") +
               "\r\nStreplaProgramma=" + folder.file("StrePla.exe") +
               "\r\nStartGartrip=2\r\nAutoCheckStrepla=2\r\nCheckForGARtrip=1\r\n" + lines;
    }
    int run(const std::string& settings_file) {
        folder.write("tolvane.kvr", settings_file);
        return launcher.Main();
    }
    static std::vector<std::string> labels(frmInvullen& form) {
        std::vector<std::string> shown;
        for (int i = 1; i <= form.RowCount(); ++i)
            shown.push_back(form.Label1(i)->text().toStdString());
        return shown;
    }

    const std::string tolvane = port::program_file_name("tolvane");
    QTimer watchdog;
    std::vector<std::function<void(frmInvullen&)>> dialogs;
    modStart launcher;
};

// Everything valid: no dialog; watch mode and autostart switched on, and StrePla and tolvane
// started hidden without arguments (the text file need not exist yet).  Export not in use, only
// inactive loggers ("x", empty): no dialog whatever the paths hold; autostart stays as it was.
TEST_F(Launcher, StartsBothProgramsHiddenWhenNothingNeededIsMissing) {
    EXPECT_EQ(run(kvr("")), modStart::kStarted);
    EXPECT_THAT(folder.read("tolvane.kvr"), HasSubstr("StartGartrip=1\r\nAutoCheckStrepla=1\r\n"));
    EXPECT_EQ(platform.programs.started,
              (testing::Starts{{folder.file("StrePla.exe"), {}, port::WindowStyle::Hidden},
                               {folder.file(tolvane), {}, port::WindowStyle::Hidden}}));
    EXPECT_EQ(run("CheckForGARtrip=2\r\nStreplaProgramma=" + folder.file("StrePla.exe") +
                  "\r\nLoggers=*Een*x*weg*weg\r\nLoggers=*Twee**weg*weg\r\n"),
              modStart::kStarted);
    EXPECT_THAT(folder.read("tolvane.kvr"), HasSubstr("StartGartrip=0\r\nAutoCheckStrepla=1\r\n"));
}

// A failed start is shown and logged, and so is a tolvane missing from the folder.
TEST_F(Launcher, FailedStartIsReported) {
    platform.programs.failure = 53;
    platform.boxes.expect();
    EXPECT_EQ(run(kvr("")), modStart::kStartFailed);
    EXPECT_THAT(folder.read("error.log"), HasSubstr("] in [ModStart]\r\nTechnische fout [File not "
                                                    "found]\r\nOpgetreden bij het uitvoeren van "
                                                    "Main\r\n"));
    platform.programs.failure = 0;
    platform.programs.started.clear();
    std::filesystem::remove(folder.file(tolvane));
    platform.boxes.expect({"Kan tolvane.exe niet vinden", "Fout", port::BoxStyle::Critical});
    EXPECT_EQ(run(kvr("")), modStart::kStartFailed);
    EXPECT_EQ(platform.programs.started.size(), 1u);
}

// Every kind of missing path: its row's label, filter and place, and its
// message; the close box hands nothing back, and Yes stops without a write.
TEST_F(Launcher, FillInFormsShowEveryKindOfMissingPath) {
    dialogs.push_back([this](frmInvullen& form) {  // the labels: in the golden file
        std::vector<std::string> filters;
        for (int16_t row = 1; row <= 6; ++row) {
            platform.dialogs.cancel();
            form.Bladeren(row);
            filters.push_back(platform.dialogs.shown.back().filter);
        }
        EXPECT_EQ(filters,
                  (std::vector<std::string>{"Programma (*.exe)|*.exe", "Programma (*.exe)|*.exe",
                                            "Strepla export (*.ste)|*.ste", "Tekstbestand (*.txt)",
                                            "Programma (*.exe)|*.exe", "Programma (*.*)|*.*"}));
        testing::expect_form(form, "frmInvullen.txt");
        testing::expect_twips(form, "frmInvullen.twips");
        form.Text1(1)->setText(QString::fromStdString(folder.file("StrePla.exe")));
        form.reject();
    });
    for (const char* kind :
         {"Strepla programmabestand", "Gartrip programmabestand", "Strepla exportbestand",
          "GARtrip text bestand", " logger programmabestand", " logger exportbestand"})
        platform.boxes.expect(std::string("Het pad naar") + kind + " is niet geldig.");
    platform.boxes.expect(1, port::Answer::Yes);  // stop
    std::string settings_file = "StreplaProgramma=\r\nGartipProgramma=" + folder.file("map") +
                                "\r\nStrePlaFile=" + folder.file("weg.ste") +
                                "\r\nGartripFile=\r\nCheckForGARtrip=1\r\nLoggers=*L*X*" +
                                folder.file("weg.exe") + "*" + folder.file("weg.igc") + "\r\n";
    std::filesystem::create_directory(folder.file("map"));
    EXPECT_EQ(run(settings_file), modStart::kStopped);
    EXPECT_EQ(folder.read("tolvane.kvr"), settings_file);
    EXPECT_TRUE(platform.programs.started.empty());
}

// Two invalid entries: two messages, then the question; No shows the dialog again with the texts
// last entered under the same rows, and a valid pass writes what it was given.
TEST_F(Launcher, InvalidEntriesAskAgainWithTheLastTexts) {
    std::string settings_file =
        "GartripFile=\r\nGartipProgramma=\r\nCheckForGARtrip=1\r\n"
        "StreplaProgramma=" +
        folder.file("StrePla.exe") + "\r\nStrePlaFile=" + folder.file("export.ste") + "\r\n";
    dialogs.push_back([](frmInvullen& form) {
        EXPECT_EQ(labels(form),
                  (std::vector<std::string>{"Gartrip programmabestand", "GARtrip text bestand"}));
        form.Text1(1)->setText(QStringLiteral("weg.exe"));
        form.Command2_Click();
    });
    dialogs.push_back([this](frmInvullen& form) {
        EXPECT_EQ(form.Text1(1)->text() + "|" + form.Text1(2)->text(), QStringLiteral("weg.exe|"));
        form.Text1(1)->setText(QString::fromStdString(folder.file("GARtrip.exe")));
        form.Text1(2)->setText(QStringLiteral("uit.txt"));
        form.Command2_Click();
    });
    platform.boxes.expect({"Het pad naarGartrip programmabestand is niet geldig.", "Tolvane",
                           port::BoxStyle::Information});
    platform.boxes.expect();
    platform.boxes.expect({"Kies ja om nu te stoppen\r\nKies nee om de paden opnieuw in te vullen",
                           "Afsluiten", port::BoxStyle::YesNo},
                          port::Answer::No);
    EXPECT_EQ(run(settings_file), modStart::kStarted);
    EXPECT_THAT(folder.read("tolvane.kvr"),
                AllOf(HasSubstr("GartipProgramma=" + folder.file("GARtrip.exe") + "\r\n"),
                      HasSubstr("GartripFile=uit.txt\r\n")));
}

// Rows 310 twips apart; the button and the height follow the last row; row
// 104 overflows 16 bits when the button moves.
TEST_F(Launcher, RepositionLaysOutRowsInTwips) {
    std::vector<typMisser> missers(200);
    frmInvullen form(missers);
    form.Reposition(1);
    form.Reposition(2);
    EXPECT_EQ(std::make_tuple(form.RowTopTwips(1), form.RowTopTwips(2), form.OkTopTwips(),
                              form.HeightTwips()),
              std::make_tuple(130, 440, 920, 1690));
    EXPECT_EQ(form.height(), desktop::twips(1690));
    for (int16_t row = 3; row <= 103; ++row) form.Reposition(row);
    EXPECT_EQ(form.HeightTwips(), 32650 + 350);
    // So many rows scroll; the dialog fits the screen with "&Ok" inside it.
    EXPECT_EQ(form.height(), form.screen()->availableGeometry().height() * 9 / 10);
    EXPECT_TRUE(form.rect().contains(form.findChild<QPushButton*>("Command2")->geometry()));
    platform.boxes.expect(testing::error_box("Technische fout"));
    form.Reposition(104);
    EXPECT_THAT(folder.read("error.log"),
                HasSubstr("in [frmInvullen]\r\nTechnische fout [Overflow]\r\n"
                          "Opgetreden bij het uitvoeren van Reposition\r\n"
                          "Bij het werken met deze waarde:[Bij gemiste waarde 104]"));
}

// A browse fills only its row, with its row's filter, starting from the last
// name; a cancelled one leaves the row.  Typing starts in the first row; a
// text without a Windows-1252 form is refused; F1 opens the launcher's help.
TEST_F(Launcher, FillInDialogRowsTakeBrowsedOrTypedPaths) {
    std::vector<typMisser> missers(3);
    frmInvullen form(missers);
    form.Reposition(1);
    form.Reposition(2);
    form.SetFilters(1, "Programma (*.exe)|*.exe");
    form.SetFilters(2, "Tekstbestand (*.txt)");
    platform.dialogs.choose(folder.file("GARtrip.exe"));
    platform.dialogs.cancel();
    platform.dialogs.choose("zonder-map.txt");
    form.Bladeren(1);
    form.Bladeren(2);
    form.Bladeren(2);
    EXPECT_EQ(form.Text1(1)->text().toStdString(), folder.file("GARtrip.exe"));
    EXPECT_EQ(form.Text1(2)->text(), QString());
    EXPECT_EQ(platform.dialogs.shown[1],
              (port::FileDialog{port::FileDialog::Kind::Open, "Tekstbestand (*.txt)", 1,
                                port::FileDialog::kCreatePrompt, folder.file("GARtrip.exe")}));
    platform.boxes.expect(testing::error_box("De bestandsnaam is ongeldig ?"));
    form.Text1(2)->insert(QStringLiteral("\u20AD"));
    EXPECT_EQ(form.Text1(2)->text(), QString());

    form.Label1(1)->setText(QStringLiteral("Een heel lange loggernaam logger programmabestand"));
    form.Label1(2)->setText(QStringLiteral("Een lange loggernaam logger programmabestand"));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(QApplication::focusWidget(), form.Text1(1));
    for (int16_t row : {1, 2}) {  // neither cut; 7 pixels (105 twips) to the field
        EXPECT_GE(form.Label1(row)->width(), form.Label1(row)->sizeHint().width());
        EXPECT_GE(
            form.Text1(row)->x() - form.Label1(row)->x() - form.Label1(row)->sizeHint().width(), 7);
    }
    QTest::keyClick(form.windowHandle(), Qt::Key_F1);
    EXPECT_EQ(platform.help.calls,
              (testing::HelpCalls{{folder.file("tolvane.chm"), port::HelpCommand::Topic, 3070}}));
    platform.help.failure = 48;
    platform.boxes.expect();
    QTest::keyClick(form.windowHandle(), Qt::Key_F1);
    EXPECT_THAT(folder.read("error.log"),
                ::testing::AllOf(
                    HasSubstr("[frmInvullen]\r\nOpgetreden bij het uitvoeren van Text1_Change"),
                    HasSubstr("in [frmInvullen]\r\nTechnische fout [Error in loading "
                              "DLL]\r\nOpgetreden bij het uitvoeren van Help\r\n")));
    form.Command2_Click();
    EXPECT_EQ(std::make_pair(missers[1].strWaarde, missers[2].strWaarde),
              std::make_pair(folder.file("GARtrip.exe"), std::string()));
}

// Only the missing one of a logger's files makes a row: kind 5 its program (field 3), kind 6 its
// export (field 4); each fills its own field, also in a row that stops before them.
TEST_F(Launcher, LoggerRowsForTheMissingFileFillTheirOwnField) {
    folder.write("tolvane.kvr",
                 kvr("Loggers=*P*X*" + folder.file("logger.exe") + "*" + folder.file("weg.igc") +
                     "\r\nLoggers=*E*X*" + folder.file("weg.exe") + "*" +
                     folder.file("vlucht.igc") + "\r\n"));
    ClsInstellingen two_loggers;
    int16_t count = 0;
    EXPECT_EQ(launcher.aantMisLoggers(count, &two_loggers), 2);
    EXPECT_EQ(labels(launcher.form()),
              (std::vector<std::string>{"P logger exportbestand", "E logger programmabestand"}));
    EXPECT_EQ(std::make_tuple(launcher.Missers.size(), launcher.Missers[1].intSoort,
                              launcher.Missers[1].intLogger, launcher.Missers[2].intSoort,
                              launcher.Missers[2].intLogger),
              std::make_tuple(3u, 6, 1, 5, 2));
    folder.write("tolvane.kvr", kvr("Loggers=*L*X\r\n"));
    ClsInstellingen settings;
    EXPECT_TRUE(launcher.Invullen({5, "", 1}, folder.file("logger.exe"), settings, 1));
    EXPECT_TRUE(launcher.Invullen({6, "", 1}, folder.file("vlucht.igc"), settings, 2));
    EXPECT_EQ(settings.instloggers().at(1),
              (LoggerRow{"", "L", "X", folder.file("logger.exe"), folder.file("vlucht.igc")}));
}

}  // namespace
}  // namespace tlv::launcher
