#pragma once

#include <QString>

#include "shared/platform/port.h"

namespace tlv::desktop {

// QMessageBox with the Windows styles: the low four bits choose the buttons,
// the next four the icon.  Standard buttons read as Qt's Dutch translation
// has them; "Opnieuw proberen" and "Doorgaan" are named here.
class QtMessageBoxes final : public port::MessageBoxes {
public:
    port::Answer show(std::string_view text, std::string_view title, port::BoxStyle style) override;
};

// The common file dialog on QFileDialog: the system's filter strings, the
// filter index, the initial name, and the question before a new file.
class QtFileDialogs final : public port::FileDialogs {
public:
    std::string show(const port::FileDialog& dialog) override;
};

// "Description|*.ext|..." as a Qt filter list; a description without a
// pattern part stands on its own.
QString qt_filter(std::string_view filter, int filter_index, QString& selected);

}  // namespace tlv::desktop
