#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

class QLabel;
class QLineEdit;

// Text at the Qt edge: Windows-1252 inside, QString outside.
namespace tlv::desktop {

// Line ends become plain line feeds, as Qt shows them.
QString to_qt(std::string_view cp1252);

// The Windows-1252 form of a typed or chosen text; nothing when it has none.
std::optional<std::string> from_qt(const QString& text);

// A result label: the text on the tooltip background, or empty on the button face.
void show_message(QLabel* label, std::string_view cp1252);

// The Windows-1252 form with "?" for every character that has none, for reports.
std::string from_qt_lossy(const QString& text);

// Takes a typed text into `value` when it has a Windows-1252 form; otherwise
// reports 20477 (with a box) under naam/plaats and puts `value` back.
bool take_text(QLineEdit* field, std::string& value, const char* naam, const char* plaats);

}  // namespace tlv::desktop
