#include "main/window.h"

#include <QApplication>

#include "desktop/qt_platform.h"
#include "main/FrmKeerpunten.h"
#include "main/modStart.h"
#include "shared/ClsError.h"
#include "shared/failure.h"
#include "shared/platform/native.h"

namespace tlv {

int run_window(const std::string& exchange, const std::string& text) {
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
    desktop::install_dutch(application);
    desktop::QtPlatform platform;
    platform.set_tray_pictures(QIcon(QStringLiteral(":/icons/tolvane.svg")),
                               QIcon(QStringLiteral(":/icons/bezig.svg")));
    std::unique_ptr<FrmKeerpunten> window;
    try {
        window = FrmKeerpunten::Starten();
    } catch (...) {
        ClsError().error("ModStart", current_failure_number(), "Main",
                         "Eerste opstartargument=[" + exchange +
                             "] Tweede opstartargument(optioneel)=[" + text + "]",
                         true);
        return modStart::kExitStartFailed;
    }
    QObject::connect(window.get(), &FrmKeerpunten::unloaded, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    return application.exec();
}

}  // namespace tlv
