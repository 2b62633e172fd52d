#include <QTimer>
#include <QToolBar>

#include "desktop/twips.h"
#include "main/frmAbout.h"
#include "main/frmOpties.h"
#include "main/modHelp.h"
#include "tests/support/failure_of.h"
#include "tests/support/form_dump.h"
#include "tests/window/window_support.h"
#include "tlvctrl/CtrlCheckbox.h"

namespace tlv::testing {
namespace {

using port::BoxStyle;

class MainWindow : public WindowTest {
protected:
    // A program folder with the golden example as exchange file, and a text path.
    std::string paths() {
        folder.write("taak 1.ste", basic_example(".ste"));
        return "StrePlaFile=" + folder.file("taak 1.ste") +
               "\r\nGartripFile=" + folder.file("uit 1.txt") + "\r\n";
    }
};

// Empty settings: the label asks for both paths while the export is in use,
// and says nothing when it is not; the convert commands are disabled.
TEST_F(MainWindow, EmptySettingsDisableTheConvertCommands) {
    load(kvr());  // the label's text: in the golden file
    EXPECT_TRUE(highlighted("lbResultaat"));
    for (QAction* command :
         {window->Button(FrmKeerpunten::kButtonConvert), action("MnGARTripBestandMaken"),
          action("mnPopGartBestMaken"), window->Button(FrmKeerpunten::kButtonStrepla),
          window->Button(FrmKeerpunten::kButtonGartrip)})
        EXPECT_FALSE(command->isEnabled());
    find<tlvctrl::CtrlCheckbox>("ckUseGps")->CheckWithValue(0);
    EXPECT_EQ(text("lbResultaat"), "");
    EXPECT_FALSE(settings().blnUseGPS() || highlighted("lbResultaat"));
}

// The browse buttons take the chosen name and ignore a cancel.
TEST_F(MainWindow, BrowseButtonsFillThePaths) {
    load(kvr());
    find<tlvctrl::CtrlCheckbox>("ckUseGps")->CheckWithValue(0);
    platform.dialogs.choose(folder.file("gekozen.ste"));
    platform.dialogs.cancel();
    click("BtnStrepla");
    click("BtnStrepla");
    EXPECT_EQ(settings().strStreplaFile, folder.file("gekozen.ste"));
    find<tlvctrl::CtrlCheckbox>("ckUseGps")->CheckWithValue(1);
    EXPECT_EQ(text("lbResultaat"), "Vul GARtrip text in\n");  // as the label holds it
    EXPECT_EQ(platform.dialogs.shown[0],
              (port::FileDialog{port::FileDialog::Kind::Open, "Strepla export (*.ste)|*.ste", 1,
                                port::FileDialog::kCreatePrompt, "*.ste"}));

    // Cancelled with an empty field: ".txt" is still appended; a name without it gets it.
    platform.dialogs.cancel();
    click("BtnGartrip");
    EXPECT_EQ(text("Text2"), ".txt");
    platform.dialogs.choose(folder.file("uit.tx"));
    click("BtnGartrip");
    EXPECT_EQ(settings().strGartripFile, folder.file("uit.tx.txt"));
    EXPECT_EQ(platform.dialogs.shown.back(),
              (port::FileDialog{port::FileDialog::Kind::Save, "Strepla export (*.txt)", 1,
                                port::FileDialog::kCreatePrompt, "*.txt"}));
}

// Nothing of the window is cut off at scale 1, 1.25 or 1.5: the status bar and its panels whole.
TEST_F(MainWindow, StatusPanelsShowWhole) {
    load(kvr());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->SetStatusPanel(1, true);
    QApplication::processEvents();
    auto* panel = find<QLabel>("Panel1");
    EXPECT_TRUE(window->rect().contains(find("StatusBar1")->geometry()));
    EXPECT_TRUE(window->width() >= desktop::twips(6105) &&
                window->height() >= desktop::twips(3585));
    EXPECT_FALSE(find("Panel2")->isVisible());
    EXPECT_EQ(std::make_pair(panel->frameShape(), find<QLabel>("Panel3")->frameShape()),
              std::make_pair(QFrame::Panel, QFrame::NoFrame));  // the progress panel unframed
    const int field = find("Text1")->width();                   // wider, for long paths
    window->resize(window->width() + 200, window->height());
    QApplication::processEvents();
    EXPECT_EQ(find("Text1")->width(), field + 200);
    // Both switch panels, the window made as narrow as it lets itself be: each whole.
    window->SetStatusPanel(2, true);
    window->resize(1, window->height());
    QApplication::processEvents();
    // A conversion's count comes while no event is handled: the window widens at once.
    std::string count = "123456";
    for (bool converting : {false, true}) {
        if (converting) ((component::IClsParseEvents*)window.get())->Progressie(count);
        for (auto* shown : {panel, find<QLabel>("Panel2"), find<QLabel>("Panel3")})
            EXPECT_TRUE(!shown->isVisible() ||
                        (shown->contentsRect().width() >=
                             shown->sizeHint().width() - 2 * shown->frameWidth() &&
                         window->rect().contains(
                             QRect(shown->mapTo(window.get(), QPoint()), shown->size()))))
                << shown->text().toStdString();
    }
}

// F5 writes the hand-written text file and shows the counts; a failed run
// says what failed, with both paths; a missing exchange file stops it before.
TEST_F(MainWindow, ConversionShowsTheCountsOrWhatFailed) {
    load(kvr(paths()));
    action("MnGARTripBestandMaken")->trigger();
    EXPECT_EQ(std::tuple(text("lbResultaat"), text("Panel3"), window->MousePointer()),
              std::tuple("3 Keerpunten en 1 Routes", "", 1));
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);  // the hourglass gone again
    EXPECT_EQ(folder.read("uit 1.txt"), basic_example(".txt"));
    EXPECT_TRUE(action("MnGartripStarten")->isEnabled() ==
                window->Button(FrmKeerpunten::kButtonGartrip)->isEnabled());
    // The extra outputs beside it; one that cannot be written is named after the counts.
    settings().strCupFile = folder.file("taak.cup");
    settings().strGpxFile = folder.file("geen map/taak.gpx");
    action("MnGARTripBestandMaken")->trigger();
    EXPECT_EQ(text("lbResultaat"),
              "3 Keerpunten en 1 Routes; niet geschreven: " + folder.file("geen map/taak.gpx"));
    EXPECT_EQ(folder.read("taak.cup"), basic_example(".cup"));
    settings().strCupFile = settings().strGpxFile = "";

    // A file made with error lines is 20004; a text file that could not be
    // written is 20003, never "made with errors".
    folder.write("taak 1.ste", point_block("Eelde", "E006:34.95", "N53:07.50", ""));
    const std::string nowhere = folder.file("geen map/uit.txt");
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {folder.file("uit 1.txt"), "Het bestand is gemaakt met fouten", "Gegevenstype klopt niet"},
        {nowhere, "Er is een fout opgetreden bij het maken van het bestand",
         "Gegevenstype klopt niet\r\nKan het pad niet vinden " + nowhere},
    };
    for (const auto& [target, message, lines] : cases) {
        settings().strGartripFile = target;
        platform.boxes.expect(error_box(message + "\r\nLezen uit:" + folder.file("taak 1.ste") +
                                        "\r\nSchrijven naar:" + target + "\r\n" + lines + "\r\n"));
        window->Converteren();
        EXPECT_EQ(text("lbResultaat"), "");
    }
    EXPECT_TRUE(folder.exists("uit 1.txt"));
    EXPECT_THAT(folder.read("error.log"),
                HasSubstr("in [FrmKeerpunten]\r\nOpgetreden bij het uitvoeren "
                          "van Converteren\r\n"));

    // A missing exchange file cannot be converted.
    settings().strStreplaFile = folder.file("weg.ste");
    platform.boxes.expect({"Het pad naar Strepla Exchange klopt niet", "Kan niet converteren",
                           BoxStyle::Information});
    window->Converteren();
    EXPECT_EQ(text("lbResultaat"), "Verwerken kan niet plaatsvinden");
    EXPECT_EQ(window->MousePointer(), 1);
}

// GARtrip starts hidden on the text file after a good run, StrePla minimised; paths with blanks and
// quotes reach them whole; a failed start is reported from the menu only.
TEST_F(MainWindow, StartsTheOtherProgramsWhileTheirPathsHold) {
    folder.write("GAR trip.exe", "MZ");
    folder.write("Stre'pla.exe", "MZ");
    load(kvr(paths() + "GartipProgramma=" + folder.file("GAR trip.exe") +
             "\r\nStreplaProgramma=" + folder.file("Stre'pla.exe") + "\r\nStartGartrip=1\r\n"));
    EXPECT_TRUE(window->Button(FrmKeerpunten::kButtonAutostartGartrip)->isChecked());
    EXPECT_EQ(text("Panel2"), "Direkt GARtrip starten");
    find<QToolBar>("Toolbar1")
        ->actionTriggered(window->Button(FrmKeerpunten::kButtonConvert));  // F5 only converts
    EXPECT_TRUE(window->Button(FrmKeerpunten::kButtonAutostartGartrip)->isChecked());
    action("mnStrepla")->trigger();
    find<QToolBar>("Toolbar1")->actionTriggered(window->Button(FrmKeerpunten::kButtonGartrip));
    const FakePrograms::Start gartrip = {
        folder.file("GAR trip.exe"), {folder.file("uit 1.txt")}, port::WindowStyle::Hidden};
    const Starts started = {
        gartrip, {folder.file("Stre'pla.exe"), {}, port::WindowStyle::MinimizedFocus}, gartrip};
    EXPECT_EQ(platform.programs.started, started);
    action("Autostart")->trigger();  // off by the user
    EXPECT_EQ(settings().intAutostart, 2);
    action("Autostart")->trigger();     // and on again
    settings().strStreplaFile.clear();  // nothing to convert: the autostart goes off
    window->initControls();
    EXPECT_FALSE(window->Button(FrmKeerpunten::kButtonAutostartGartrip)->isEnabled() ||
                 action("Autostart")->isEnabled());
    EXPECT_EQ(settings().intAutostart, 2);
    settings().strStreplaFile = folder.file("taak 1.ste");
    window->initControls();
    find<QToolBar>("Toolbar1")
        ->actionTriggered(window->Button(FrmKeerpunten::kButtonAutostartGartrip));  // on again
    ASSERT_TRUE(window->Button(FrmKeerpunten::kButtonAutostartGartrip)->isChecked());

    // A refresh finds GARtrip gone: the option goes off, and says why.
    std::filesystem::remove(folder.file("GAR trip.exe"));
    window->initControls();
    EXPECT_EQ(text("lbResultaat"), "Het pad naar het programmabestand van GARtrip klopt niet");
    EXPECT_EQ(std::tuple(settings().intAutostart,
                         window->Button(FrmKeerpunten::kButtonAutostartGartrip)->isChecked(),
                         text("Panel2")),
              std::tuple(2, false, ""));
    EXPECT_EQ(platform.programs.started, started);

    settings().strGartripFile = folder.file("elders.txt");  // in memory only, until saved
    find<QToolBar>("Toolbar1")->actionTriggered(window->Button(FrmKeerpunten::kButtonSave));
    EXPECT_THAT(stored(), HasSubstr("GartripFile=" + folder.file("elders.txt") + "\r\n"));
    EXPECT_THAT(stored(), HasSubstr("StartGartrip=2\r\n"));

    // A failing start from the toolbar leaves no message; from the menu it is reported.
    platform.programs.failure = 53;
    find<QToolBar>("Toolbar1")->actionTriggered(window->Button(FrmKeerpunten::kButtonStrepla));
    EXPECT_TRUE(platform.boxes.shown.empty());
    folder.write("GAR trip.exe", "MZ");
    window->initControls();
    platform.boxes.expect(3);
    for (const char* name : {"mnStrepla", "MnGartripStarten", "mnGartripPopup"})
        action(name)->trigger();
    EXPECT_THAT(folder.read("error.log"), AllOf(HasSubstr("van RunStrepla\r\n\r\nNieuwe Fout[53]"),
                                                HasSubstr("van RunGartrip\r\n\r\nNieuwe Fout[53]"),
                                                ::testing::EndsWith("van RunGartrip\r\n")));
    // A program gone since the last refresh is not started at all.
    for (const char* program : {"Stre'pla.exe", "GAR trip.exe"})
        std::filesystem::remove(folder.file(program));
    platform.programs.failure = 0;
    for (int button : {7, 8}) find<QToolBar>("Toolbar1")->actionTriggered(window->Button(button));
    EXPECT_EQ(platform.programs.started, started);
}

// Every caption, tooltip, shortcut and picture of the window, its menus and
// toolbar, the options dialog and the about box; where the options dialog's
// controls sit (also run at 1440 dots per inch, a twip to the pixel).
TEST_F(MainWindow, FormsShowWhatTheirTablesHold) {
    load(kvr());
    expect_form(*window, "FrmKeerpunten.txt");
    // The frames keep 60 twips from both sides of the window and 30 from what is above them, their
    // fields and buttons as far from both sides of the frame; a browse button is 375 twips wide.
    for (auto [frame, field, button, above] :
         {std::tuple{"Frame1", "Text1", "BtnStrepla", 0},
          std::tuple{"Frame2", "Text2", "BtnGartrip", find("Frame1")->geometry().bottom() + 1}}) {
        const QRect box = find(frame)->geometry();
        EXPECT_EQ(std::make_tuple(box.left(), window->centralWidget()->width() - 1 - box.right(),
                                  box.top() - above, find(button)->width(), find(field)->x()),
                  std::make_tuple(desktop::twips(60), desktop::twips(60), desktop::twips(30),
                                  desktop::twips(375),
                                  box.width() - 1 - find(button)->geometry().right()));
    }
    dialog = std::make_unique<frmOpties>(window.get());
    dialog->show();
    expect_form(*dialog, "frmOpties.txt");
    expect_twips(*dialog, "frmOpties.twips");
    dialog = std::make_unique<frmAbout>(window.get());
    dialog->show();
    expect_form(*dialog, "frmAbout.txt");
}

TEST_F(MainWindow, HelpCommandsOpenTheirPagesOrSayWhyNot) {
    load(kvr());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->windowHandle(), Qt::Key_F1);
    action("mnHelpPopup")->trigger();
    modHelp::ShowHelpIndex("hoofd");  // a window's name follows the file after ">"
    EXPECT_EQ(platform.help.calls,
              (HelpCalls{{folder.file("tolvane.chm"), port::HelpCommand::Contents, 0},
                         {folder.file("tolvane.chm"), port::HelpCommand::Topic, 3050},
                         {folder.file("tolvane.chm>hoofd"), port::HelpCommand::Index, 0}}));
    platform.help.failure = 48;
    platform.boxes.expect(3);
    action("MnIndex")->trigger();
    action("mnHelpPopup")->trigger();
    action("MnHlpContents")->trigger();
    for (const char* procedure : {"ShowHelpIndex", "ShowHelpTopic", "ShowHelpContents"})
        EXPECT_THAT(folder.read("error.log"),
                    HasSubstr("in [modHelp]\r\nTechnische fout [Error in loading DLL]"
                              "\r\nOpgetreden bij het uitvoeren van " +
                              std::string(procedure)));
}

TEST_F(MainWindow, AboutBoxShowsTheVersion) {
    load(kvr());
    QString version;
    QTimer::singleShot(0, [&] {
        auto* about = window->findChild<frmAbout*>(QStringLiteral("frmAbout"));
        ASSERT_NE(about, nullptr);
        version = about->findChild<QLabel*>(QStringLiteral("lbVersie"))->text();
        about->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    });
    action("mnInfo")->trigger();
    EXPECT_EQ(version, "Versie: " + QStringLiteral(TOLVANE_PROJECT_VERSION).section('.', 0, 1));
}

TEST_F(MainWindow, ClosingSavesTheSettings) {
    load(kvr());
    QTest::keyClicks(find("Text2"), QStringLiteral("punten.txt"));
    window->Button(FrmKeerpunten::kButtonAutostartGartrip)
        ->trigger();  // no GARtrip program: the option stays as it is in memory
    action("mnSluiten2")->trigger();
    EXPECT_THAT(stored(), HasSubstr("GartripFile=punten.txt\r\n"));
    EXPECT_TRUE(stored().ends_with("CheckForGARtrip=1\r\n"));
}

TEST_F(MainWindow, StartWithoutTheComponentFailsWith48) {
    install_parse_factory([]() -> ParseComponent { throw Failure(48); });
    EXPECT_EQ(failure_of([] { FrmKeerpunten::Starten(); }), 48);
}

}  // namespace
}  // namespace tlv::testing
