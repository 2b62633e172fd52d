#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tlv {

// The values of an on/off switch in the settings file.
inline constexpr int32_t kSwitchOn = 1, kSwitchOff = 2;

// One logger row: text fields numbered from 0, as the settings line holds
// them after its first "*"; field 0 is the line's own.
using LoggerRow = std::vector<std::string>;
enum LoggerField : size_t {
    kLoggerName = 1,
    kLoggerActiveMark = 2,  // "X" when the logger is in use
    kLoggerProgram = 3,
    kLoggerExport = 4,
};
// Rows numbered from 1; a table read from the file has an empty row 0 that is
// never written.  An empty vector is the empty table.
using LoggerTable = std::vector<LoggerRow>;

// Field `index` of a logger row; empty past the row's end.
inline const std::string& logger_field(const LoggerRow& row, size_t index) {
    static const std::string empty;
    return index < row.size() ? row[index] : empty;
}
// Field `index` of a logger row to write, the row lengthened to hold it
// (reading with logger_field leaves a short row as it was read).
inline std::string& logger_field_to_write(LoggerRow& row, size_t index) {
    if (row.size() <= index) row.resize(index + 1);
    return row[index];
}
inline constexpr std::string_view kLoggerActive = "X";
inline bool logger_active(const LoggerRow& row) {
    return logger_field(row, kLoggerActiveMark) == kLoggerActive;
}

// The user's settings, kept in "tolvane.kvr" in the settings folder as
// key=value lines.  The constructor reads the file (creating a default one
// when it is missing); only Wegschrijven writes it.  A file that another user
// may change is reported and left alone; the default values hold instead.  Every failure is
// reported with a box and ends the operation without passing it on.
class ClsInstellingen {
public:
    ClsInstellingen();

    std::string strStreplaFile;
    std::string strGartripFile;
    std::string strGartripProgram;
    std::string strStreplaProgram;
    int32_t intAutostart = 0;
    int32_t intAutoCheckStrepla = 0;
    // The SeeYou CUP and GPX files written beside the GARtrip text (empty: none).
    // Their keys come after all others, and only once they have a value.
    std::string strCupFile;
    std::string strGpxFile;

    void Inlezen();
    void Wegschrijven();

    LoggerTable instloggers() const { return loggers_; }
    void instloggers(const LoggerTable& val) { loggers_ = val; }

    bool blnUseGPS() const { return intUseGPS == kSwitchOn; }
    void blnUseGPS(bool val) { intUseGPS = val ? kSwitchOn : kSwitchOff; }

    static constexpr std::string_view kFileName = "tolvane.kvr";
    // The largest settings file read; a real one holds a few hundred bytes.
    static constexpr uint64_t kMostBytes = uint64_t{1} << 20;

private:
    struct Keys;  // the key table, shared by reading and writing

    void InitWrite();
    void LeesFile();
    void write_text(std::string_view plaats, const std::function<std::string()>& compose);
    void read_item(std::string_view item, LoggerTable& rows);
    void use_defaults();

    int32_t intUseGPS = 0;
    LoggerTable loggers_;
    std::string path_;
    // False when another user may change the file: it is then neither
    // believed nor written.
    bool trusted_ = true;
};

}  // namespace tlv
