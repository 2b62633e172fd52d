#include "desktop/qt_platform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QTranslator>

#include "desktop/help_viewer.h"
#include "desktop/qt_message_boxes.h"
#include "desktop/qt_tray.h"

namespace tlv::desktop {

struct QtPlatform::Services {
    QtMessageBoxes boxes;
    QtFileDialogs dialogs;
    QtTrayIcons tray;
    QtHelpViewer help;
};

QtPlatform::QtPlatform() : services_(std::make_unique<Services>()) {
    previous_ = port::install({.message_boxes = &services_->boxes,
                               .file_dialogs = &services_->dialogs,
                               .tray = &services_->tray,
                               .help = &services_->help});
}

QtPlatform::~QtPlatform() { port::restore(previous_); }

void QtPlatform::set_tray_pictures(const QIcon& window_icon, const QIcon& busy_icon) {
    services_->tray.set_pictures(window_icon, busy_icon);
}

namespace {

class NoAltLetters final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers held = key->modifiers();
        return (held & Qt::AltModifier) && !(held & Qt::ControlModifier) &&
               !key->text().isEmpty() && qobject_cast<QLineEdit*>(watched);
    }
};

}  // namespace

void prepare_application(QApplication& application) {
    QLocale::setDefault(QLocale(QLocale::Dutch, QLocale::Netherlands));
    auto* translator = new QTranslator(&application);
    if (translator->load(QLocale(QLocale::Dutch), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    application.installEventFilter(new NoAltLetters(&application));
}

}  // namespace tlv::desktop
