#include "shared/ClsError.h"

#include <algorithm>
#include <cstdio>

#include "shared/codec.h"
#include "shared/failure.h"
#include "shared/list_input.h"
#include "shared/modDirCheck.h"
#include "shared/platform/port.h"
#include "shared/text.h"

namespace tlv {
namespace {

// A value a caller left out arrives as the text of the "argument not found"
// error value; it is no value to report.
constexpr std::string_view kValueLeftOut = "Error 448";

struct TableRow {
    int32_t number;
    std::string_view before;  // fixed text in front of the value
    std::string_view after;   // fixed text behind the value; kNoValue when the value is not used
};
constexpr std::string_view kNoValue = "\x01";

// The message table; numbers between 0 and 25000 without a row have no text.
constexpr TableRow kMessages[] = {
    {7, "Geen geheugen meer", kNoValue},
    {11, "Delen door nul", kNoValue},
    {13, "Gegevenstype klopt niet", kNoValue},
    {14, "De tekst is te lang", kNoValue},
    {16, "De expressie is te complex", kNoValue},
    {17, "De operatie kan niet worden uitgevoerd", kNoValue},
    {18, "De gebruiker heeft het proces onderbroken", kNoValue},
    {35, "Er wordt een niet bestaande functie aangeroepen", kNoValue},
    {48, "De *.dll kan niet worden geladen", kNoValue},
    {49, "Fout in dll aanroep", kNoValue},
    {51, "Interne fout", kNoValue},
    {52, "Bestandsnaam klopt niet", kNoValue},
    {53, "Kan het bestand niet vinden:", ""},
    {54, "De modus van het bestand klopt niet", kNoValue},
    {55, "Het bestand is reeds geopend", kNoValue},
    {58, "Het bestand bestaat al", kNoValue},
    {59, "De lengte van de tupel klopt niet", kNoValue},
    {61, "De schijf is vol", kNoValue},
    {62, "De input is groter dan het bestand", kNoValue},
    {63, "Verkeerd tupel nummer", kNoValue},
    {67, "Er zijn teveel bestanden", kNoValue},
    {68, "Het apparaat is niet beschikbaar", kNoValue},
    {70, "Geen toegang", kNoValue},
    {71, "De schijf is niet klaar", kNoValue},
    {74, "Kan niet hernoemt worden met een andere schijf ", ""},
    {75, "Het pad of bestand kan niet benadert worden ", ""},
    {76, "Kan het pad niet vinden ", ""},
    {91, "De variabele of het object is leeg", kNoValue},
    {94, "Ongeldige waarde 0", kNoValue},
    {482, "Afdrukken is niet mogelijk door een fout van de printer", kNoValue},
    {492, "U heeft de verkeerde versie van dit programma ge\xEFnstalleerd", kNoValue},
    {744, "De zoektekst kon niet worden gevonden", kNoValue},
    {746, "De vervanging is te lang", kNoValue},
    {20001, "Het veld ", " is niet ingevuld."},
    {20002, "De velden ", " zijn niet ingevuld."},
    {20003, "Er is een fout opgetreden bij het maken van het bestand\r\n", ""},
    {20004, "Het bestand is gemaakt met fouten\r\n", ""},
    {20005, "Bij het schrijven is een fout opgetreden", ""},
    {20477, "De bestandsnaam is ongeldig ", ""},
};

// A date or time field, zero-padded to the given number of digits.
void append_number(std::string& out, int value, size_t digits) {
    append_padded(out, static_cast<uint64_t>(std::max(value, 0)), digits);
}

// Dutch short date and long time: d-M-yyyy HH:mm:ss.
void append_date_time(std::string& out, const port::DateTime& t) {
    append_number(out, t.day, 1);
    out += '-';
    append_number(out, t.month, 1);
    out += '-';
    append_number(out, t.year, 4);
    out += ' ';
    append_number(out, t.hour, 2);
    out += ':';
    append_number(out, t.minute, 2);
    out += ':';
    append_number(out, t.second, 2);
}

std::string compose_entry(std::string_view naam, int32_t nummer, std::string_view plaats,
                          std::string_view waarde, const std::string& message,
                          const std::string& description) {
    std::string entry;
    entry.reserve(160 + message.size() + naam.size() + description.size() + plaats.size() +
                  waarde.size());
    entry += "\r\nNieuwe Fout[";
    entry += std::to_string(nummer);
    entry += ']';
    append_date_time(entry, port::clock().now());
    entry += " app.";
    entry += port::application().title;
    entry += "\r\nFoutmelding:[";
    entry += message;
    entry += "] in [";
    entry += naam;
    entry += "]\r\n";
    if (!trim_spaces(description).empty()) {
        entry += "Technische fout [";
        entry += description;
        entry += "]\r\n";
    }
    if (!trim_spaces(plaats).empty()) {
        entry += "Opgetreden bij het uitvoeren van ";
        entry += plaats;
        entry += kCrLf;
    }
    if (!trim_spaces(waarde).empty()) {
        entry += "Bij het werken met deze waarde:[";
        entry += waarde;
        entry += "]\r\n";
    }
    return entry;
}

// Whether a rewrite would give the text back unchanged: CR LF line ends only,
// no line that begins with a blank, and a line end at the end.
bool is_rewrite_stable(std::string_view raw) {
    size_t carriage_returns = 0;
    for (size_t at = raw.find('\r'); at != std::string_view::npos; at = raw.find('\r', at + 1))
        ++carriage_returns;
    size_t line_feeds = 0;
    size_t line_start = 0;
    while (line_start < raw.size()) {
        if (raw[line_start] == ' ') return false;
        size_t lf = raw.find('\n', line_start);
        if (lf == std::string_view::npos || lf == 0 || raw[lf - 1] != '\r') return false;
        ++line_feeds;
        line_start = lf + 1;
    }
    return carriage_returns == line_feeds;
}

// The text as the next report reads it back: each line without its leading
// blanks, ended by CR LF.
void append_rewritten(std::string& out, std::string_view raw) {
    if (is_rewrite_stable(raw)) {
        out += raw;
        return;
    }
    LineReader lines(raw);
    std::string_view line;
    while (lines.next(line)) {
        out += ltrim_spaces(line);
        out += kCrLf;
    }
}

// The log as this process last left it, when its text was rewrite-stable.
// While the file still carries that stamp nobody else has touched it, and the
// next entries can be appended without reading the file again.
struct LastWritten {
    std::string path;
    port::FileStamp stamp;
};

std::optional<LastWritten>& last_written() {
    static std::optional<LastWritten> last;
    return last;
}

bool is_last_written(const std::string& path) {
    const std::optional<LastWritten>& last = last_written();
    if (!last || last->path != path) return false;
    std::optional<port::FileStamp> now = port::files().stamp(path);
    return now && *now == last->stamp;
}

// The log being built: the file's old text (left on disk when it survives
// as it is), the entries already read back as a later report would, and the
// newest entry as written.
class PendingLog {
public:
    explicit PendingLog(std::string path) : path_(std::move(path)) { LeesOudeLog(); }

    const std::string& path() const { return path_; }

    void add(std::string entry) {
        if (!started_) {
            started_ = true;
        } else if (old_size_ + settled_.size() + newest_.size() >= ClsError::kLogCap) {
            drop_old();
            settled_.clear();
        } else {
            append_rewritten(settled_, newest_);
        }
        newest_ = std::move(entry);
    }

    // The entries not yet in the file, as they would be written.
    std::string entries() const { return settled_ + newest_; }

    void SchrijfLog() {
        last_written().reset();
        if (!started_) return;
        if (old_on_disk_) {
            port::files().append(path_, settled_ + newest_);
        } else {
            port::files().replace(path_, old_text_ + settled_ + newest_);
        }
        if (is_rewrite_stable(newest_)) {
            std::optional<port::FileStamp> now = port::files().stamp(path_);
            if (now) last_written() = LastWritten{path_, *now};
        }
    }

private:
    // The part of the old log that survives the first report; empty when there
    // is no log or it reached the cap.
    void LeesOudeLog() {
        if (!DirCheck(path_)) return drop_old();
        std::optional<uint64_t> size = port::files().file_size(path_);
        if (!size || *size >= ClsError::kLogCap) return drop_old();
        old_size_ = *size;
        if (is_last_written(path_)) {
            old_on_disk_ = true;
            return;
        }
        std::string raw = port::files().read_all(path_, ClsError::kLogCap);
        if (is_rewrite_stable(raw)) {
            old_on_disk_ = true;
            return;
        }
        old_text_.reserve(raw.size());
        append_rewritten(old_text_, raw);
        old_size_ = old_text_.size();
    }
    void drop_old() {
        old_on_disk_ = false;
        old_text_.clear();
        old_size_ = 0;
    }

    std::string path_;
    bool old_on_disk_ = false;  // the file holds exactly the old text: append
    std::string old_text_;      // otherwise the old text to rewrite
    uint64_t old_size_ = 0;     // the old text's length as the file holds it
    std::string settled_;
    std::string newest_;
    bool started_ = false;
};

struct BatchState {
    int depth = 0;
    std::optional<PendingLog> log;
};

BatchState& batch() {
    static BatchState state;
    return state;
}

// A report the log could not take goes to standard error, so that it is
// never lost without a word (a silent run on a full disk).
void to_console(std::string_view entries) {
    const std::string text = codec::to_utf8(entries);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

void write_pending() {
    std::optional<PendingLog>& log = batch().log;
    if (!log) return;
    try {
        log->SchrijfLog();
    } catch (...) {
        to_console(log->entries());
    }
    log.reset();
}

void add_entry(const std::string& path, std::string entry) {
    std::optional<PendingLog>& log = batch().log;
    if (log && log->path() != path) write_pending();
    try {
        if (!log) log.emplace(path);
    } catch (...) {
        return to_console(entry);
    }
    log->add(std::move(entry));
    if (batch().depth == 0) write_pending();
}

// A value or description is cut so that one report stays far inside the
// log's bound, whatever text it was handed.
std::string_view cut(std::string_view text, std::string& room) {
    constexpr size_t kMostBytes = 2000;
    if (text.size() <= kMostBytes) return text;
    room.assign(text.substr(0, kMostBytes));
    room += " ...";
    return room;
}

}  // namespace

std::string ClsError::FoutTekst(int32_t nummer, std::string_view waarde) {
    for (const TableRow& row : kMessages) {
        if (row.number != nummer) continue;
        std::string text(row.before);
        if (row.after != kNoValue) {
            text += waarde;
            text += row.after;
        }
        return text;
    }
    return {};
}

std::string ClsError::error(std::string_view naam, int32_t nummer, std::string_view plaats,
                            std::string_view variabelewaarde, bool blnMelding) {
    return report(naam, nummer, plaats, variabelewaarde, blnMelding, current_failure_description());
}

std::string ClsError::error(std::string_view naam, const Failure& failure, std::string_view plaats,
                            std::string_view variabelewaarde, bool blnMelding) {
    return report(naam, failure.number(), plaats, variabelewaarde, blnMelding,
                  failure.description());
}

std::string ClsError::report(std::string_view naam, int32_t nummer, std::string_view plaats,
                             std::string_view variabelewaarde, bool blnMelding,
                             const std::string& full_description) {
    std::string value_room, description_room;
    std::string_view waarde =
        variabelewaarde == kValueLeftOut ? std::string_view{} : cut(variabelewaarde, value_room);
    const std::string description(cut(full_description, description_room));
    std::string message = FoutTekst(nummer, waarde);
    if (trim_spaces(message).empty()) message = "Technische fout";

    // A report runs on a failure path: nothing in it may fail its caller.
    try {
        if (blnMelding) {
            port::message_boxes().show("De volgende fout is opgetreden\r\n" + message, "Fout",
                                       port::BoxStyle::ErrorReport);
        }
    } catch (...) {
    }
    try {
        add_entry(port::join_path(port::settings_folder(), kLogName),
                  compose_entry(naam, nummer, plaats, waarde, message, description));
    } catch (...) {
        batch().log.reset();
    }
    return message;
}

ClsError::Batch::Batch() { ++batch().depth; }

ClsError::Batch::~Batch() {
    if (--batch().depth == 0) write_pending();
}

}  // namespace tlv
