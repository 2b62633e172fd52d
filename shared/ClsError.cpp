#include "shared/ClsError.h"

#include <cstdio>

#include "shared/failure.h"
#include "shared/list_input.h"
#include "shared/modDirCheck.h"
#include "shared/platform/port.h"
#include "shared/text.h"

namespace tlv {
namespace {


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

// Dutch short date and long time: d-M-yyyy HH:mm:ss.
std::string format_date_time(const port::DateTime& t) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%d-%d-%04d %02d:%02d:%02d", t.day, t.month, t.year,
                  t.hour, t.minute, t.second);
    return buffer;
}

std::string compose_entry(std::string_view naam, int32_t nummer, std::string_view plaats,
                          std::string_view waarde, const std::string& message) {
    std::string entry(kCrLf);
    entry += "Nieuwe Fout[" + std::to_string(nummer) + "]" +
             format_date_time(port::clock().now()) + " app." + port::application().title;
    entry += kCrLf;
    entry += "Foutmelding:[" + message + "] in [";
    entry += naam;
    entry += "]";
    entry += kCrLf;
    std::string description = current_failure_description();
    if (!trim_spaces(description).empty()) {
        entry += "Technische fout [" + description + "]";
        entry += kCrLf;
    }
    if (!trim_spaces(plaats).empty()) {
        entry += "Opgetreden bij het uitvoeren van ";
        entry += plaats;
        entry += kCrLf;
    }
    if (!trim_spaces(waarde).empty()) {
        entry += "Bij het werken met deze waarde:[";
        entry += waarde;
        entry += "]";
        entry += kCrLf;
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

// The log as this process last left it, when its text was rewrite-stable.
// While the file still carries that stamp nobody else has touched it, and the
// next entry can be appended without reading the file again.
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

void forget_last_written() { last_written().reset(); }

void remember_last_written(const std::string& path) {
    std::optional<port::FileStamp> now = port::files().stamp(path);
    if (now) last_written() = LastWritten{path, *now};
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
    std::string_view waarde = variabelewaarde == "Error 448" ? std::string_view{} : variabelewaarde;
    std::string message = FoutTekst(nummer, waarde);
    if (trim_spaces(message).empty()) message = "Technische fout";

    // A report runs on a failure path: nothing in it may fail its caller.
    try {
        if (blnMelding) {
            port::message_boxes().show("De volgende fout is opgetreden\r\n" + message, "Fout",
                                       port::mb::kErrorReport);
        }
    } catch (...) {
    }
    try {
        std::string entry = compose_entry(naam, nummer, plaats, waarde, message);
        std::string path = port::join_path(port::application().folder, kLogName);
        SchrijfLog(path, LeesOudeLog(path), entry);
    } catch (...) {
    }
    return message;
}

// The old log as it survives the rewrite: each line without its leading
// blanks, ended by CR LF; empty when there is no log or it reached the cap.
ClsError::OudeLog ClsError::LeesOudeLog(const std::string& path) {
    if (!DirCheck(path)) return {};
    std::optional<uint64_t> size = port::files().file_size(path);
    if (!size || *size >= kLogCap) return {};
    if (is_last_written(path)) return {{}, true};
    std::string raw = port::files().read_all(path);
    if (is_rewrite_stable(raw)) return {std::move(raw), true};
    OudeLog old_log;
    old_log.text.reserve(raw.size());
    LineReader lines(raw);
    std::string_view line;
    while (lines.next(line)) {
        old_log.text += ltrim_spaces(line);
        old_log.text += kCrLf;
    }
    return old_log;
}

// Replaces the log with the old text and the entry.  When the file already
// holds exactly the old text, appending the entry gives the same file at a
// fraction of the cost, which matters when a bad file brings many reports.
void ClsError::SchrijfLog(const std::string& path, const OudeLog& old_log,
                          const std::string& entry) {
    forget_last_written();
    if (old_log.unchanged) {
        port::files().append(path, entry);
    } else {
        port::files().replace(path, old_log.text + entry);
    }
    if (is_rewrite_stable(entry)) remember_last_written(path);
}

}  // namespace tlv
