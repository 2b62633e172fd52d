// The main window with real events: real Qt message boxes answered by a timer as a user would, real
// focus and activation changes, the real event loop.  The fakes keep the clock and the file times.
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>

#include "desktop/qt_message_boxes.h"
#include "tests/window/window_support.h"

namespace tlv::testing {
namespace {

// Real message boxes, each closed with Return a moment after it shows; the texts shown are kept.
class AnsweredBoxes final : public port::MessageBoxes {
public:
    AnsweredBoxes() : previous_(port::install({.message_boxes = this})) {
        answering_.setInterval(30);
        QObject::connect(&answering_, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                QTest::keyClick(box, Qt::Key_Return);
        });
        answering_.start();
    }
    ~AnsweredBoxes() override { port::restore(previous_); }
    port::Answer show(std::string_view text, std::string_view title,
                      port::BoxStyle style) override {
        shown.emplace_back(text);
        port::Answer answer = real_.show(text, title, style);
        if (after) std::exchange(after, nullptr)();
        return answer;
    }
    std::vector<std::string> shown;
    std::function<void()> after;  // once, when the next box has been answered

private:
    desktop::QtMessageBoxes real_;
    QTimer answering_;
    port::Services previous_;
};

class RealEvents : public WindowTest {
protected:
    void show_and_focus(const char* field) {
        window->show_window_normal();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        find(field)->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
    }
};

// Hidden in the tray, the real timer ticking: a logger box closed by the user leaves the program
// running (the event loop ends only through the window's unload; the logger's program is back
// before the refresh after the conversion would switch the mode off), and StrePla saving by
// deleting and recreating its export does not switch watching off.
TEST_F(RealEvents, NothingEndsTheProgramWhileItIsHidden) {
    load(watching(logger("A") + logger("B")));
    ASSERT_FALSE(window->isVisible());
    std::filesystem::remove(folder.file("A.exe"));
    rewrite({"A.igc"});
    platform.files.set_modified(folder.file("export.ste"), std::nullopt);
    AnsweredBoxes boxes;
    boxes.after = [this] {  // the logger's program is put back; StrePla saves anew
        folder.write("A.exe", "MZ");
        folder.write("export.ste", point_block("Ter Apel"));
        rewrite({"export.ste"});
    };
    QTimer converted;
    QObject::connect(&converted, &QTimer::timeout, [this] {
        if (folder.exists("uit.txt")) QCoreApplication::exit(42);
    });
    converted.start(50);
    QTimer deadline;  // an object of the test's own: it cannot fire in a later test
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    deadline.start(10000);
    EXPECT_EQ(QApplication::exec(), 42);
    EXPECT_EQ(boxes.shown,
              std::vector<std::string>{"Het pad " + folder.file("A.exe") +
                                       "waar het Loggerprogramma moet staan klopt niet"});
    EXPECT_TRUE(window->inTray());
    EXPECT_EQ(settings().intAutoCheckStrepla, 1);
    EXPECT_THAT(folder.read("uit.txt"), HasSubstr("TER AP\t"));
}

// Typing sets the setting at once.  A box, a menu or another window taking the focus from a path
// field is no change of field: no refresh (the result label keeps its text); moving on with Tab is
// one.  A box outlives a helper window that goes while it is up.
TEST_F(RealEvents, OnlyTheUserLeavingAPathFieldRefreshes) {
    load(kvr("GartripFile=" + folder.file("uit.txt") + "\r\n"));
    EXPECT_EQ(text("lbResultaat"), "Vul Strepla Exchange in");
    show_and_focus("Text1");
    QTest::keyClicks(find("Text1"), QStringLiteral("taak.ste"));
    for (Qt::Key letter : {Qt::Key_A, Qt::Key_Q, Qt::Key_Z})  // no access key: types nothing
        QTest::keyClick(window->windowHandle(), letter, Qt::AltModifier);
    EXPECT_EQ(settings().strStreplaFile, "taak.ste");
    window->ShowMessage("13 Keerpunten");
    find("Text1")->clearFocus();  // the focus gone to no control
    find("Text1")->setFocus();
    {
        AnsweredBoxes boxes;
        port::message_boxes().show("Even wachten", "", port::BoxStyle::Ok);
    }
    show_and_focus("Text1");
    for (Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::MenuBarFocusReason}) {
        QFocusEvent away(QEvent::FocusOut, reason);  // as a menu opening over the field sends it
        QApplication::sendEvent(find("Text1"), &away);
    }
    auto* other = new QWidget;
    other->show();
    other->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(other));
    EXPECT_EQ(text("lbResultaat"), "13 Keerpunten");
    EXPECT_FALSE(window->Button(FrmKeerpunten::kButtonConvert)->isEnabled());
    {
        // A box belongs to the active dialog or main window, never to a helper
        // window (the tray icon's own) that may be destroyed while the box is up.
        AnsweredBoxes boxes;
        QTimer::singleShot(0, [other] { delete other; });
        EXPECT_EQ(port::message_boxes().show("Weg", "", port::BoxStyle::Ok), port::Answer::Ok);
    }

    show_and_focus("Text1");
    QTest::keyClick(find("Text1"), Qt::Key_Tab);
    EXPECT_TRUE(window->Button(FrmKeerpunten::kButtonConvert)->isEnabled());
    EXPECT_EQ(text("lbResultaat"), "");

    // A character without a Windows-1252 form is refused; the field keeps its text.
    platform.boxes.expect(error_box("De bestandsnaam is ongeldig taak.ste?"));
    find<QLineEdit>("Text1")->insert(QStringLiteral("\u20AD"));
    EXPECT_EQ(text("Text1"), "taak.ste");
    EXPECT_THAT(folder.read("error.log"),
                HasSubstr("in [FrmKeerpunten]\r\nOpgetreden bij het uitvoeren van Text_Change"));
}

// Two active loggers, the window shown with the focus in a path field, the first logger's program
// gone, both exports rewritten: the first logger's box takes the focus inside the tick; nothing the
// tick walks over is freed, and the second logger still starts.
TEST_F(RealEvents, LoggerBoxInsideTheTickWithTheFocusInAPathField) {
    load(watching(logger("A") + logger("B")));
    show_and_focus("Text1");
    std::filesystem::remove(folder.file("A.exe"));
    rewrite({"A.igc", "B.igc"});
    AnsweredBoxes boxes;
    window->Timer1_Timer();
    window->Timer1_Timer();
    EXPECT_EQ(boxes.shown,
              std::vector<std::string>{"Het pad " + folder.file("A.exe") +
                                       "waar het Loggerprogramma moet staan klopt niet"});
    EXPECT_EQ(platform.programs.started, (Starts{{folder.file("B.exe"),
                                                  {folder.file("B.igc")},
                                                  port::WindowStyle::MinimizedFocus}}));
    EXPECT_EQ(settings().intAutoCheckStrepla, 1);
}

// While a conversion's error box is up (the real timer ticking), a rewritten logger export starts.
TEST_F(RealEvents, LoggerStartsWhileAConversionsErrorBoxIsOpen) {
    load(watching(logger("L")));
    folder.write("export.ste", point_block("Eelde", "E006:34.95", "N53:07.50", ""));
    desktop::QtMessageBoxes real;
    const port::Services previous = port::install({.message_boxes = &real});
    QTimer answering;
    QElapsedTimer up;
    QObject::connect(&answering, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && !up.isValid()) up.start(), rewrite({"L.igc"});
        if (box && (!platform.programs.started.empty() || up.elapsed() > 5000))
            QTest::keyClick(box, Qt::Key_Escape);
    });
    answering.start(50);
    rewrite({"export.ste"});
    window->Timer1_Timer();
    port::restore(previous);
    ASSERT_EQ(platform.programs.started.size(), 1u);
    EXPECT_EQ(platform.programs.started[0].arguments, std::vector{folder.file("L.igc")});
}

}  // namespace
}  // namespace tlv::testing
