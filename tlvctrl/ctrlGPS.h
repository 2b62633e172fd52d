#pragma once

#include <QWidget>
#include <string>

class QLineEdit;

namespace tlv::tlvctrl {

// The paths of the options' GPS page, each with a browse button: the two
// programs, StrePla and GARtrip, and the two extra outputs, a SeeYou CUP and
// a GPX file.  An empty field is allowed; a filled program field must name
// an existing program file, a filled output field a plain file (or none yet)
// in an existing folder.  Message() carries a short hint after each change
// (empty when all is well).
class ctrlGPS final : public QWidget {
    Q_OBJECT
public:
    explicit ctrlGPS(QWidget* parent = nullptr);

    void SetPrograms(const std::string& strepla, const std::string& gartrip);
    std::string StreplaProgram() const { return strepla_; }
    std::string GartripProgram() const { return gartrip_; }
    void SetOutputs(const std::string& cup, const std::string& gpx);
    std::string CupFile() const { return cup_; }
    std::string GpxFile() const { return gpx_; }
    // Empty when valid; otherwise one Dutch sentence (ended by a line break)
    // for each field that fails its check.
    std::string CheckInput() const;
    std::string HelpFile;

signals:
    void Message(const std::string& text);

private:
    struct Row;
    QLineEdit* field(const Row& row, int index, std::string& value);
    void browse(QLineEdit* field, const Row& row);
    static void set_field(QLineEdit* field, std::string& value, const std::string& text);

    std::string strepla_, gartrip_, cup_, gpx_;
    QLineEdit* strepla_field_ = nullptr;
    QLineEdit* gartrip_field_ = nullptr;
    QLineEdit* cup_field_ = nullptr;
    QLineEdit* gpx_field_ = nullptr;
};

}  // namespace tlv::tlvctrl
