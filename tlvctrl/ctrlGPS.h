#pragma once

#include <QWidget>
#include <string>

class QLineEdit;

namespace tlv::tlvctrl {

// The two program paths of the options: StrePla and GARtrip, each with a
// browse button.  An empty field is allowed; a filled one must name an
// existing program file.  Message() carries a short hint after each change
// (empty when all is well).
class ctrlGPS final : public QWidget {
    Q_OBJECT
public:
    explicit ctrlGPS(QWidget* parent = nullptr);

    void SetPrograms(const std::string& strepla, const std::string& gartrip);
    std::string StreplaProgram() const { return strepla_; }
    std::string GartripProgram() const { return gartrip_; }
    // Empty when valid; otherwise one Dutch sentence (ended by a line break)
    // for each field whose program file does not exist.
    std::string CheckInput() const;
    std::string HelpFile;

signals:
    void Message(const std::string& text);

private:
    QLineEdit* field(const char* name, const char* label, int row, std::string& value);
    void browse(QLineEdit* field);

    std::string strepla_, gartrip_;
    QLineEdit* strepla_field_ = nullptr;
    QLineEdit* gartrip_field_ = nullptr;
};

}  // namespace tlv::tlvctrl
