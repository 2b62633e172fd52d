#include "desktop/qt_text.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "shared/ClsError.h"
#include "shared/codec.h"
#include "shared/failure.h"

namespace tlv::desktop {

QString to_qt(std::string_view cp1252) {
    QString text = QString::fromStdString(codec::to_utf8(cp1252));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::optional<std::string> from_qt(const QString& text) {
    return codec::from_utf8(text.toUtf8().toStdString());
}

void show_message(QLabel* label, std::string_view cp1252) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window,
                     palette.color(cp1252.empty() ? QPalette::Button : QPalette::ToolTipBase));
    label->setPalette(palette);
    label->setText(to_qt(cp1252));
}

std::string from_qt_lossy(const QString& text) {
    std::string out;
    for (QChar c : text) {
        std::optional<std::string> one = from_qt(QString(c));
        out += one && one->size() == 1 ? *one : std::string("?");
    }
    return out;
}

bool take_text(QLineEdit* field, std::string& value, const char* naam, const char* plaats) {
    std::optional<std::string> text = from_qt(field->text());
    if (text) {
        value = *text;
        return true;
    }
    ClsError().error(naam, err::kInvalidFileName, plaats, from_qt_lossy(field->text()), true);
    QSignalBlocker quiet(field);
    field->setText(to_qt(value));
    return false;
}

}  // namespace tlv::desktop
