#include "tlvctrl/ctrlLoggers.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "desktop/qt_text.h"
#include "shared/ClsError.h"
#include "shared/failure.h"
#include "shared/modDirCheck.h"
#include "shared/platform/port.h"

namespace tlv::tlvctrl {
namespace {

// A column shows the row's field one past its index: the name, the active
// mark, the program, the export file.
constexpr size_t field_of(int column) { return static_cast<size_t>(column) + 1; }

QPushButton* button(QWidget* owner, const char* name, const char* caption) {
    auto* made = new QPushButton(QString::fromUtf8(caption), owner);
    made->setObjectName(QString::fromLatin1(name));
    return made;
}

}  // namespace

ctrlLoggers::ctrlLoggers(QWidget* parent)
    : QWidget(parent), table_(new QTableWidget(0, kColumns, this)) {
    table_->setObjectName(QStringLiteral("tblLoggers"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Logger"), QStringLiteral("In gebruik"),
                                       QStringLiteral("Programma"),
                                       QStringLiteral("Exportbestand")});
    // The name and the mark as wide as they need, the two paths sharing the rest
    // (share_path_columns); a path that does not fit shows its end on one line,
    // and its tip shows it whole.
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setWordWrap(false);
    table_->setTextElideMode(Qt::ElideLeft);
    table_->verticalHeader()->setVisible(false);
    connect(table_, &QTableWidget::cellChanged, this, &ctrlLoggers::cell_changed);
    auto* buttons = new QHBoxLayout;
    QPushButton* add = button(this, "cmdToevoegen", "T&oevoegen");
    QPushButton* remove = button(this, "cmdVerwijderen", "&Verwijderen");
    QPushButton* program = button(this, "cmdProgramma", "&Programma...");
    QPushButton* export_file = button(this, "cmdExport", "E&xportbestand...");
    for (QPushButton* shown : {add, remove, program, export_file}) buttons->addWidget(shown);
    buttons->addStretch();
    connect(add, &QPushButton::clicked, this, &ctrlLoggers::AddRow);
    connect(remove, &QPushButton::clicked, this, &ctrlLoggers::RemoveRow);
    connect(program, &QPushButton::clicked, this, [this] { browse(kProgram); });
    connect(export_file, &QPushButton::clicked, this, [this] { browse(kExport); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(QMargins());
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
}

LoggerTable ctrlLoggers::LoggerList() const { return rows_.size() > 1 ? rows_ : LoggerTable{}; }

void ctrlLoggers::LoggerList(const LoggerTable& rows) {
    rows_ = rows.empty() ? LoggerTable{{}} : rows;
    show_rows();
}

// The name and the mark as wide as their contents; the program column gets
// what its longest text needs, but no more than half the room left unless the
// export column needs less; the export column takes the rest.
void ctrlLoggers::share_path_columns() {
    const QFontMetrics metrics = table_->fontMetrics();
    auto needed = [&](int column) {
        int most = metrics.horizontalAdvance(table_->horizontalHeaderItem(column)->text());
        for (int row = 0; row < table_->rowCount(); ++row)
            if (const QTableWidgetItem* cell = table_->item(row, column))
                most = std::max(most, metrics.horizontalAdvance(cell->text()));
        return most + 3 * metrics.averageCharWidth();  // the cell's own margins
    };
    for (int column : {kName, kInUse}) table_->resizeColumnToContents(column);
    const int room =
        table_->viewport()->width() - table_->columnWidth(kName) - table_->columnWidth(kInUse);
    table_->setColumnWidth(kProgram,
                           std::min(needed(kProgram), std::max(room / 2, room - needed(kExport))));
}

void ctrlLoggers::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    share_path_columns();
}

void ctrlLoggers::show_rows() {
    QSignalBlocker quiet(table_);
    table_->setRowCount(static_cast<int>(rows_.size()) - 1);
    for (size_t i = 1; i < rows_.size(); ++i) {
        int row = static_cast<int>(i) - 1;
        for (int column : {kName, kProgram, kExport}) {
            const QString text = desktop::to_qt(logger_field(rows_[i], field_of(column)));
            auto* cell = new QTableWidgetItem(text);
            if (column != kName) cell->setToolTip(text);
            table_->setItem(row, column, cell);
        }
        auto* in_use = new QTableWidgetItem;
        in_use->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        in_use->setCheckState(logger_active(rows_[i]) ? Qt::Checked : Qt::Unchecked);
        table_->setItem(row, kInUse, in_use);
    }
    share_path_columns();
}

// Only the field the user changed is written, so untouched rows stay as read.
void ctrlLoggers::cell_changed(int row, int column) {
    LoggerRow& logger = rows_.at(static_cast<size_t>(row) + 1);
    QTableWidgetItem* cell = table_->item(row, column);
    if (column == kInUse) {
        logger_field_to_write(logger, field_of(kInUse)) =
            cell->checkState() == Qt::Checked ? std::string(kLoggerActive) : std::string();
    } else if (std::optional<std::string> text = desktop::from_qt(cell->text())) {
        logger_field_to_write(logger, field_of(column)) = *text;
        if (column != kName) cell->setToolTip(cell->text());
        share_path_columns();
    } else {
        ClsError().error("ctrlLoggers", err::kInvalidFileName, "Change",
                         desktop::from_qt_lossy(cell->text()), true);
        QSignalBlocker quiet(table_);
        cell->setText(desktop::to_qt(logger_field(logger, field_of(column))));
        return;
    }
    emit Message(CheckInput());
}

void ctrlLoggers::AddRow() {
    rows_.push_back({"", "", std::string(kLoggerActive), "", ""});
    show_rows();
    table_->setCurrentCell(table_->rowCount() - 1, kName);
}

void ctrlLoggers::RemoveRow() {
    int row = table_->currentRow();
    if (row < 0) return;
    rows_.erase(rows_.begin() + row + 1);
    show_rows();
    emit Message(CheckInput());
}

void ctrlLoggers::browse(Column column) {
    int row = table_->currentRow();
    if (row < 0) return;
    port::FileDialog dialog{port::FileDialog::Kind::Open,
                            column == kProgram ? "Programma|*" : "Exportbestand|*", 1, 0,
                            logger_field(rows_[static_cast<size_t>(row) + 1], field_of(column))};
    std::string chosen = port::file_dialogs().show(dialog);
    if (chosen != dialog.file_name) table_->item(row, column)->setText(desktop::to_qt(chosen));
}

std::string ctrlLoggers::CheckInput() const {
    std::string problems;
    for (size_t i = 1; i < rows_.size(); ++i) {
        const LoggerRow& row = rows_[i];
        std::string name = logger_field(row, field_of(kName));
        std::string which = "Logger " + (name.empty() ? std::to_string(i) : name);
        for (size_t f = 1; f <= 4; ++f) {
            if (logger_field(row, f).find('*') != std::string::npos) {
                problems += which + ": een * kan niet in een naam of pad staan.\r\n";
                break;
            }
        }
        if (!logger_active(row)) continue;
        if (name.empty()) problems += which + ": vul de naam van de logger in.\r\n";
        if (!DirCheck(logger_field(row, field_of(kProgram))))
            problems += which + ": het programmabestand bestaat niet.\r\n";
        if (!DirCheck(logger_field(row, field_of(kExport))))
            problems += which + ": het exportbestand bestaat niet.\r\n";
    }
    return problems;
}

}  // namespace tlv::tlvctrl
