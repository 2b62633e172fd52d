#pragma once

#include <QWidget>
#include <string>

#include "shared/ClsInstellingen.h"

class QTableWidget;

namespace tlv::tlvctrl {

// The logger table of the options: one row per logger with its name, an
// "in use" tick, the program and the export file.  Rows keep the stored
// layout: field 1 name, 2 "X" when in use, 3 program, 4 export file; field 0
// and any further fields are kept as they were read.
class ctrlLoggers final : public QWidget {
    Q_OBJECT
public:
    explicit ctrlLoggers(QWidget* parent = nullptr);

    LoggerTable LoggerList() const;
    void LoggerList(const LoggerTable& rows);
    // Empty when valid; otherwise one Dutch sentence (ended by a line break)
    // per problem: a logger in use without a name, program or export file,
    // and a "*" anywhere, since "*" separates the stored fields.
    std::string CheckInput() const;
    std::string HelpFile;

    void AddRow();
    void RemoveRow();

signals:
    void Message(const std::string& text);

private:
    enum Column { kName, kInUse, kProgram, kExport, kColumns };
    void show_rows();
    void share_path_columns();
    void resizeEvent(QResizeEvent* event) override;
    void cell_changed(int row, int column);
    void browse(Column column);

    QTableWidget* table_;
    LoggerTable rows_{{}};  // row 0 is never shown
};

}  // namespace tlv::tlvctrl
