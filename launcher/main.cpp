// tlvexpress: checks the paths that watch mode needs, asks for the missing
// ones, switches watch mode on and starts StrePla and tolvane.

#include <QApplication>

#include "desktop/qt_platform.h"
#include "launcher/modStart.h"
#include "shared/platform/native.h"
#include "shared/platform/port.h"

int main(int argc, char** argv) {
    if (!tlv::port::native::has_display()) {
        tlv::port::message_boxes().show(
            "Er is geen beeldscherm: tlvexpress start StrePla en tolvane alleen op een bureaublad.",
            "tlvexpress", tlv::port::BoxStyle::Information);
        return tlv::launcher::modStart::kStartFailed;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tlvexpress"));
    tlv::desktop::prepare_application(application);
    tlv::desktop::QtPlatform platform;
    return tlv::launcher::modStart().Main();
}
