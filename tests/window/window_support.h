#pragma once

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "desktop/qt_text.h"
#include "main/FrmKeerpunten.h"
#include "shared/ClsInstellingen.h"
#include "tests/conversion/conversion_support.h"
#include "tests/support/in_process_conversion.h"

namespace tlv::testing {

// A settings file: watch mode off and the exchange export in use, then the given lines
// (a key given again overrides).
inline std::string kvr(const std::string& lines = {}) {
    return "StartGartrip=2\r\nAutoCheckStrepla=2\r\nCheckForGARtrip=1\r\n" + lines;
}

// The main window loaded in a program folder of its own, against the test
// adapter, with the conversion in-process.
class WindowTest : public InFolder {
protected:
    void TearDown() override {
        dialog.reset();
        window.reset();
    }

    FrmKeerpunten& load(const std::string& settings) {
        folder.write("tolvane.kvr", settings);
        window = FrmKeerpunten::Starten();
        return *window;
    }
    QWidget* parent() const { return dialog ? static_cast<QWidget*>(dialog.get()) : window.get(); }
    // A widget or action by object name, in the open dialog or else the window.
    template <typename T = QWidget>
    T* find(const char* name) const {
        T* found = parent()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    QAction* action(const char* name) const { return find<QAction>(name); }
    std::string text(const char* name) const {
        if (auto* edit = parent()->findChild<QLineEdit*>(QString::fromLatin1(name)))
            return desktop::from_qt_lossy(edit->text());
        return desktop::from_qt_lossy(find<QLabel>(name)->text());
    }
    ClsInstellingen& settings() const { return *Instellingen(); }
    // Whether a label stands out from the window (a message shown in it).
    bool highlighted(const char* label) const {
        const QPalette& colours = find(label)->palette();
        return colours.color(QPalette::Window) != colours.color(QPalette::Button);
    }
    std::string stored() const { return folder.read("tolvane.kvr"); }

    // Watch mode on, an export with one point and one route, and the given lines.
    std::string watching(const std::string& lines = {}) {
        folder.write("export.ste", point_block("Eelde") + route_block("R", {"1"}));
        return kvr("StrePlaFile=" + folder.file("export.ste") + "\r\nGartripFile=" +
                   folder.file("uit.txt") + "\r\nAutoCheckStrepla=1\r\n" + lines);
    }
    // An active logger: its settings line, its program NAME.exe and its export NAME.igc.
    std::string logger(const std::string& name) {
        folder.write(name + ".exe", "MZ");
        folder.write(name + ".igc", "");
        return "Loggers=*" + name + "*X*" + folder.file(name + ".exe") + "*" +
               folder.file(name + ".igc") + "\r\n";
    }
    // The files are rewritten one second from now; the clock then moves a second further.
    void rewrite(const std::vector<std::string>& names) {
        platform.clock.advance(std::chrono::seconds(1));
        for (const std::string& name : names)
            platform.files.set_modified(folder.file(name), platform.clock.now());
        platform.clock.advance(std::chrono::seconds(1));
    }

    InProcessConversion conversion;
    std::unique_ptr<FrmKeerpunten> window;
    std::unique_ptr<QDialog> dialog;
};

}  // namespace tlv::testing
