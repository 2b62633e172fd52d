#include <QCheckBox>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <filesystem>

#include "main/ModNotifyIcon.h"
#include "main/frmOpties.h"
#include "tests/window/window_support.h"

namespace tlv::testing {
namespace {

using namespace std::chrono_literals;
using port::TrayCommand;
using port::TrayPicture;

class WatchMode : public WindowTest {
protected:
    void rewrite_and_tick(const std::vector<std::string>& names = {"export.ste"}) {
        rewrite(names);
        window->Timer1_Timer();
    }
    std::vector<std::pair<TrayPicture, std::string>> modifications() const {
        std::vector<std::pair<TrayPicture, std::string>> tips;
        for (const FakeTray::Call& call : platform.tray.calls)
            if (call.command == TrayCommand::Modify)
                tips.emplace_back(call.data.hIcon, call.data.szTip);
        return tips;
    }
};

// Stored as on, the window comes up hidden with its icon, ticking; a left
// click brings it back; closing removes the icon.  A tip holds 64 characters.
TEST_F(WatchMode, WindowWaitsInTheTrayUntilClicked) {
    load(watching());
    EXPECT_TRUE(!window->isVisible() && window->inTray());
    EXPECT_EQ(std::pair(platform.tray.calls.at(0).command, platform.tray.calls.at(0).data.szTip),
              std::pair(TrayCommand::Add, std::string("TolVANE wacht op Strepla")));
    EXPECT_EQ(find<QTimer>("Timer1")->interval(), 500);
    EXPECT_TRUE(window->Button(FrmKeerpunten::kButtonWatch)->isChecked() &&
                window->Button(FrmKeerpunten::kButtonHide)->isEnabled());
    EXPECT_EQ(text("Panel1"), "Start na export Strepla");

    window->showMinimized();
    platform.tray.mouse(port::tray_mouse::kLeftButtonUp);
    EXPECT_TRUE(window->isVisible() && !window->isMinimized());
    find<QToolBar>("Toolbar1")
        ->actionTriggered(window->Button(FrmKeerpunten::kButtonSave));  // saves, and only that
    EXPECT_TRUE(window->isVisible() && window->Button(FrmKeerpunten::kButtonWatch)->isChecked());
    platform.tray.mouse(port::tray_mouse::kRightButtonUp);
    EXPECT_TRUE(find<QMenu>("mnPopup")->isVisible());
    find<QMenu>("mnPopup")->hide();

    window->close();
    EXPECT_EQ(platform.tray.calls.back().command, TrayCommand::Delete);
    EXPECT_THAT(stored(), HasSubstr("AutoCheckStrepla=1\r\n"));
    for (size_t length : {64, 65}) {
        ModNotifyIcon::Shell_NotifyIcon(port::TrayCommand::Add, port::TrayPicture::Busy,
                                        std::string(length - 1, 't') + "e");
        const port::NotifyIconData& record = platform.tray.calls.back().data;
        EXPECT_EQ(record.szTip, length == 64 ? std::string(63, 't') + "e" : std::string(64, 't'));
        EXPECT_EQ(record.hIcon, port::TrayPicture::Busy);
    }
}

TEST_F(WatchMode, RewrittenExportIsConverted) {
    load(watching());
    settings().intAutoCheckStrepla = 2;  // the mode off: a tick does nothing, even after a rewrite
    rewrite_and_tick();
    EXPECT_FALSE(folder.exists("uit.txt"));
    settings().intAutoCheckStrepla = 1;
    window->Timer1_Timer();
    EXPECT_TRUE(folder.exists("uit.txt"));
    EXPECT_EQ(text("lbResultaat"), "1 Keerpunten en 1 Routes");
    using Tips = std::vector<std::pair<TrayPicture, std::string>>;
    EXPECT_EQ(modifications(), (Tips{{TrayPicture::Busy, "TolVANE is bezig met converteren"},
                                     {TrayPicture::Busy, "Bezig met verwerken 1"},
                                     {TrayPicture::WindowIcon, "TolVANE wacht op Strepla"}}));
    EXPECT_FALSE(window->isVisible());

    // A box shown inside a tick runs its own event loop, where the timer keeps
    // firing: such a tick does nothing, even when the export changed again.
    settings().strGartripFile = "";  // the run's check will show a box
    platform.boxes.expect();
    platform.boxes.on_show = [this] { rewrite_and_tick(); };
    rewrite_and_tick();
}

// An export absent for a moment is a save in progress; one that stays gone fails the tick: the mode
// goes off and is saved at once, and the window that waited hidden in the tray comes back.
TEST_F(WatchMode, FailingTickSwitchesTheModeOffForGood) {
    load(watching());
    platform.files.set_modified(folder.file("export.ste"), std::nullopt);
    window->Timer1_Timer();
    EXPECT_EQ(settings().intAutoCheckStrepla, 1);
    platform.clock.advance(10s);
    window->Timer1_Timer();
    EXPECT_THAT(stored(), HasSubstr("AutoCheckStrepla=2\r\n"));
    EXPECT_EQ(std::tuple(settings().intAutoCheckStrepla, window->isVisible(), window->inTray(),
                         platform.tray.calls.back().command),
              std::tuple(2, true, false, TrayCommand::Delete));
    EXPECT_EQ(text("lbResultaat"),
              "De optie Starten na Strepla wordt uitgeschakeld wegens een fout");
    EXPECT_THAT(folder.read("error.log"),
                HasSubstr("Opgetreden bij het uitvoeren van Timer1_Timer\r\n"
                          "Bij het werken met deze waarde:[De optie Starten na "
                          "Strepla wordt uitgeschakeld]"));
}

// Every refresh rebuilds the watchers (here the one after a conversion, and
// the one after a failed run's box); a rewrite made before it is not lost.
TEST_F(WatchMode, RewriteJustBeforeARebuildIsStillReported) {
    load(watching() + logger("L"));
    rewrite_and_tick({"export.ste", "L.igc"});
    EXPECT_TRUE(folder.exists("uit.txt"));
    window->Timer1_Timer();
    EXPECT_EQ(platform.programs.started, (Starts{{folder.file("L.exe"),
                                                  {folder.file("L.igc")},
                                                  port::WindowStyle::MinimizedFocus}}));

    // A faulty export; StrePla saves the corrected one while the box is up.
    folder.write("export.ste", point_block("Eelde", "E006:34.95", "N53:07.50", ""));
    platform.boxes.expect();
    platform.boxes.on_show = [this] {
        folder.write("export.ste", point_block("Ter Apel"));
        platform.clock.advance(1s);
        platform.files.set_modified(folder.file("export.ste"), platform.clock.now());
    };
    rewrite_and_tick();
    platform.clock.advance(1s);
    window->Timer1_Timer();
    EXPECT_THAT(folder.read("uit.txt"), HasSubstr("TER AP\t"));
}

// Hidden in the tray, a refresh that finds the logger's program gone switches the mode off: with no
// icon left, the window comes back.
TEST_F(WatchMode, ModeGoingOffInTheTrayShowsTheWindow) {
    load(watching() + logger("L"));
    window->naarSysteemvak(true);
    ASSERT_FALSE(window->isVisible());
    std::filesystem::remove(folder.file("L.exe"));
    rewrite_and_tick();
    EXPECT_EQ(
        std::make_tuple(settings().intAutoCheckStrepla, window->inTray(), window->isVisible()),
        std::make_tuple(2, false, true));
    EXPECT_EQ(platform.tray.calls.back().command, TrayCommand::Delete);
}

// Watching the loggers only, the export comes into use by the options'
// "Toepassen", the dialog still open: it is watched at once.
TEST_F(WatchMode, ExportComingIntoUseIsWatchedAtOnce) {
    load(watching() + logger("L") + "CheckForGARtrip=2\r\n");
    ASSERT_TRUE(window->inTray());
    QTimer::singleShot(0, [this] {
        auto* options = window->findChild<frmOpties*>(QStringLiteral("frmOpties"));
        ASSERT_NE(options, nullptr);
        options->findChild<QCheckBox*>(QStringLiteral("ckGebrGPS"))->setChecked(true);
        options->cmdApply_Click();
        rewrite_and_tick();
        EXPECT_TRUE(folder.exists("uit.txt"));
        options->reject();
    });
    action("mnPrograms")->trigger();
    window->showMaximized();  // and off again by the menu: a window in view stays as it is
    action("mnAutoStartStrepla")->trigger();
    EXPECT_EQ(
        std::make_tuple(settings().intAutoCheckStrepla, window->inTray(), window->isMaximized()),
        std::make_tuple(2, false, true));
    find<QToolBar>("Toolbar1")
        ->actionTriggered(
            window->Button(FrmKeerpunten::kButtonWatch));  // on again from the toolbar
    EXPECT_TRUE(settings().intAutoCheckStrepla == 1 &&
                window->Button(FrmKeerpunten::kButtonWatch)->isChecked());
}

// The message gathers every active logger's faults; the last row decides.
TEST_F(WatchMode, LastLoggerRowDecidesTheAdmission) {
    folder.write("export.ste", "");
    load(kvr("CheckForGARtrip=2\r\nLoggers=*L*X*" + folder.file("weg.exe") + "*" +
             folder.file("weg.igc") + "\r\nLoggers=*M*X*x*" + folder.file("export.ste") +
             "\r\nLoggers=*N**x*y\r\n"));
    const std::string faults =
        "Fout in het pad van het programmabestand van L van het "
        "exportbestand van L van het programmabestand van M";
    EXPECT_TRUE(window->CheckCanBeServer(false, false));
    EXPECT_EQ(std::pair(text("lbResultaat"), settings().intAutoCheckStrepla), std::pair(faults, 2));
    EXPECT_TRUE(window->Button(FrmKeerpunten::kButtonWatch)->isEnabled());
    platform.boxes.expect({faults, "Kan deze optie niet uitvoeren", port::BoxStyle::Information});
    window->CheckCanBeServer(true, false);  // asked for by the user: in a box
}

// A path made wrong while watching: at the change of field the box says which, the mode goes off,
// and the label says why through later refreshes until the next conversion.
TEST_F(WatchMode, GoingOffForAWrongPathIsShownUntilTheNextConversion) {
    load(watching());
    settings().strStreplaFile = folder.file("export.stea");
    platform.boxes.expect("Het pad naar Strepla Exchange klopt niet");
    window->initControls();
    window->initControls();  // a later refresh
    EXPECT_EQ(text("lbResultaat"),
              "Start na export Strepla staat uit: Het pad naar Strepla Exchange klopt niet");
    settings().strStreplaFile = folder.file("export.ste");
    action("MnGARTripBestandMaken")->trigger();
    window->initControls();
    EXPECT_EQ(std::pair(settings().intAutoCheckStrepla, text("lbResultaat")),
              std::pair(2, std::string()));
}

// Hiding needs the mode's check; without a system tray the window is
// minimised instead, and the tip shows in its title.
TEST_F(WatchMode, HidingFallsBackToMinimising) {
    load(kvr("GartripFile=uit.txt\r\n"));
    EXPECT_FALSE(window->Button(FrmKeerpunten::kButtonWatch)->isEnabled() ||
                 action("mnAutoStartStrepla")->isEnabled());
    platform.boxes.expect({"Het pad naar Strepla Exchange klopt niet", "Kan niet converteren",
                           port::BoxStyle::Information});
    window->naarSysteemvak(true);
    EXPECT_TRUE(window->isVisible() && (platform.tray.calls.empty() ||
                                        platform.tray.calls.back().command == TrayCommand::Delete));

    platform.tray.available = false;
    folder.write("export.ste", "");
    settings().strStreplaFile = folder.file("export.ste");
    window->naarSysteemvak(true);
    EXPECT_TRUE(window->isMinimized());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("TolVANE wacht op Strepla"));
}

}  // namespace
}  // namespace tlv::testing
