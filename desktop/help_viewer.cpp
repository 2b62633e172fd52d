#include "desktop/help_viewer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>

#include "desktop/qt_text.h"

namespace tlv::desktop {

QString help_page(port::HelpCommand command, int32_t context) {
    switch (command) {
        case port::HelpCommand::Index:
            return QStringLiteral("index.html");
        case port::HelpCommand::Topic:
            return QString::number(context) + QStringLiteral(".html");
        default:
            return QStringLiteral("inhoud.html");
    }
}

HelpWindow::HelpWindow(QString folder, QWidget* owner)
    : QWidget(owner, Qt::Window), browser_(new QTextBrowser(this)), folder_(std::move(folder)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("TolVANE Help"));
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(false);
    browser_->setSearchPaths({folder_});
    auto* back = new QPushButton(QStringLiteral("&Terug"), this);
    auto* forward = new QPushButton(QStringLiteral("&Vooruit"), this);
    auto* contents = new QPushButton(QStringLiteral("&Inhoud"), this);
    auto* index = new QPushButton(QStringLiteral("In&dex"), this);
    back->setObjectName(QStringLiteral("HelpBack"));
    forward->setObjectName(QStringLiteral("HelpForward"));
    contents->setObjectName(QStringLiteral("HelpContents"));
    index->setObjectName(QStringLiteral("HelpIndex"));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
    connect(contents, &QPushButton::clicked, this, [this] { open(QStringLiteral("inhoud.html")); });
    connect(index, &QPushButton::clicked, this, [this] { open(QStringLiteral("index.html")); });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {back, forward, contents, index}) buttons->addWidget(button);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
    resize(640, 480);
}

void HelpWindow::open(const QString& page) {
    QString path = QDir(folder_).filePath(page);
    if (QFileInfo::exists(path)) {
        browser_->setSource(QUrl::fromLocalFile(path));
    } else {
        browser_->setPlainText(QStringLiteral("Deze helppagina is niet gevonden: ") + path);
    }
    show();
    place_on_screen();
    raise();
    activateWindow();
    browser_->setFocus(Qt::ActiveWindowFocusReason);
}

// Whole on the screen of its owner (or the primary one), frame included,
// no larger than that screen's free area.
void HelpWindow::place_on_screen() {
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    const QSize frame = frameGeometry().size() - geometry().size();
    resize(size().boundedTo(room.size() - frame));
    const QRect outer = frameGeometry();
    move(std::clamp(outer.x(), room.left(), room.right() + 1 - outer.width()),
         std::clamp(outer.y(), room.top(), room.bottom() + 1 - outer.height()));
}

QtHelpViewer::~QtHelpViewer() { delete window_.data(); }

void QtHelpViewer::show(std::string_view help_file, port::HelpCommand command, int32_t context) {
    // The help file's name may carry ">window"; the pages sit beside it.
    QString file = to_qt(help_file).section(QLatin1Char('>'), 0, 0);
    QString folder = QFileInfo(file).dir().filePath(QStringLiteral("help"));
    QWidget* owner = QApplication::activeModalWidget();
    if (!window_ || window_->property("folder").toString() != folder ||
        window_->parentWidget() != owner) {
        delete window_.data();
        window_ = new HelpWindow(folder, owner);
        window_->setProperty("folder", folder);
    }
    window_->open(help_page(command, context));
}

}  // namespace tlv::desktop
