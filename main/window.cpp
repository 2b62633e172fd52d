#include "main/window.h"

#include <QApplication>
#ifdef Q_OS_WIN
#include <QWinEventNotifier>
#else
#include <QSocketNotifier>
#endif

#include "desktop/qt_platform.h"
#include "main/FrmKeerpunten.h"
#include "main/modStart.h"
#include "shared/modInstellingen.h"
#include "shared/platform/native.h"

namespace tlv {
namespace {

// A second start of the same user asks, through the claim, to see the window.
void serve_show_requests(QObject* owner, FrmKeerpunten& window) {
    int handle = port::single_instance().request_handle();
    if (handle < 0) return;
    auto take = [&window] {
        if (port::single_instance().take_show_request()) window.show_window_normal();
    };
#ifdef Q_OS_WIN
    auto* requests = new QWinEventNotifier(reinterpret_cast<Qt::HANDLE>(intptr_t{handle}), owner);
    QObject::connect(requests, &QWinEventNotifier::activated, &window, take);
#else
    auto* requests = new QSocketNotifier(handle, QSocketNotifier::Read, owner);
    QObject::connect(requests, &QSocketNotifier::activated, &window, take);
#endif
}

}  // namespace

int run_window(const WindowStart& start) {
    if (start.settings) InstellingenOvernemen(start.settings);
    if (start.instance) port::install({.single_instance = start.instance});
    if (!port::native::has_display()) {
        port::message_boxes().show(
            "Er is geen beeldscherm om het hoofdvenster op te tonen.\r\nGeef een exchange "
            "bestand op de opdrachtregel op om zonder venster om te zetten (tolvane --help).",
            "tolvane", port::BoxStyle::Information);
        return modStart::kExitStartFailed;
    }
    static int argc = 1;
    static char name[] = "tolvane";
    static char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TolVANE"));
    desktop::prepare_application(application);
    desktop::QtPlatform platform;
    FrmKeerpunten::set_tray_pictures(platform);
    std::unique_ptr<FrmKeerpunten> window;
    try {
        window = FrmKeerpunten::Starten();
    } catch (...) {
        return modStart::report_start_failure(start.exchange, start.text);
    }
    serve_show_requests(window.get(), *window);
    QObject::connect(window.get(), &FrmKeerpunten::unloaded, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    return application.exec();
}

}  // namespace tlv
