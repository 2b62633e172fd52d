#pragma once

#include <QPointer>
#include <QWidget>

#include "shared/platform/port.h"

class QTextBrowser;

namespace tlv::desktop {

// The program's help: Dutch HTML pages installed in the folder "help" beside
// the help file's place ("inhoud.html", "index.html" and one page per context
// number, e.g. "3050.html"), shown in a small window of our own.  No network,
// no browser.  Opened over a modal dialog it is a window of that dialog's, so
// that the dialog's modality does not block it; Escape closes it alone.
class HelpWindow final : public QWidget {
    Q_OBJECT
public:
    HelpWindow(QString folder, QWidget* owner);
    void open(const QString& page);

private:
    void place_on_screen();

    QTextBrowser* browser_;
    QString folder_;
};

class QtHelpViewer final : public port::HelpViewer {
public:
    ~QtHelpViewer() override;
    void show(std::string_view help_file, port::HelpCommand command, int32_t context) override;

private:
    QPointer<HelpWindow> window_;
};

// The page a help command opens.
QString help_page(port::HelpCommand command, int32_t context);

}  // namespace tlv::desktop
