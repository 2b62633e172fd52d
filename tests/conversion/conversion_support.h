#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "conversion/ClsParse.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_folder.h"

namespace tlv::testing {

inline constexpr std::string_view kCrLf = "\r\n";

// One entry of error.log, as far as the conversion's tests look at it.
struct Report {
    int number = 0;
    std::string naam, plaats, waarde;
};

// The text between `before` and the next `after` in an entry, "" when absent.
inline std::string between(std::string_view entry, std::string_view before,
                           std::string_view after) {
    size_t start = entry.find(before);
    if (start == std::string_view::npos) return {};
    start += before.size();
    size_t end = entry.find(after, start);
    return std::string(entry.substr(start, end == std::string_view::npos ? end : end - start));
}

inline std::vector<Report> parse_log(std::string_view log) {
    std::vector<Report> reports;
    constexpr std::string_view kStart = "\r\nNieuwe Fout[";
    size_t at = log.find(kStart);
    while (at != std::string_view::npos) {
        size_t next = log.find(kStart, at + 1);
        std::string_view entry = log.substr(at, next == std::string_view::npos ? next : next - at);
        Report report;
        report.number = std::stoi(between(entry, "Nieuwe Fout[", "]"));
        report.naam = between(entry, "] in [", "]\r\n");
        report.plaats = between(entry, "Opgetreden bij het uitvoeren van ", "\r\n");
        report.waarde = between(entry, "Bij het werken met deze waarde:[", "]\r\n");
        reports.push_back(report);
        at = next;
    }
    return reports;
}

// A conversion set-up: a fresh folder that is also the application folder
// (so error.log lands there) and a fake clock.
struct ConversionFixture {
    TempFolder folder;
    FakePlatform platform{folder.path(), "tolvane"};

    std::string exchange(std::string_view bytes, std::string_view name = "export.ste") const {
        folder.write(name, bytes);
        return folder.file(name);
    }
    std::string output() const { return folder.file("gartrip.txt"); }
    std::vector<Report> reports() const {
        return folder.exists("error.log") ? parse_log(folder.read("error.log"))
                                          : std::vector<Report>{};
    }
};

// A point block as the exchange export writes it.
inline std::string point_block(std::string_view name, std::string_view lon = "E006:34.95",
                               std::string_view lat = "N53:07.50", std::string_view elev = "5",
                               std::string_view frequency = "123.50") {
    std::string block = "point {\r\n  name = \"";
    block += name;
    block += "\"\r\n  type = airfield\r\n  lon = ";
    block += lon;
    block += "\r\n  lat = ";
    block += lat;
    block += "\r\n  elev = ";
    block += elev;
    block += "\r\n  frequency = ";
    block += frequency;
    block += "\r\n}\r\n";
    return block;
}

inline std::string route_block(std::string_view name, const std::vector<std::string>& members) {
    std::string block = "route {\r\n  name = \"";
    block += name;
    block += "\"\r\n";
    for (const std::string& member : members) block += "  waypoint = " + member + "\r\n";
    block += "}\r\n";
    return block;
}

// Converts exchange bytes in memory; the composed text, or "<none>".
inline std::string convert(ClsParse& parse, std::string_view exchange_bytes) {
    auto composed = parse.convert_working_text(ClsParse::working_text(exchange_bytes));
    return composed ? *composed : std::string("<none>");
}

// Line n (from 0) of a text, without its CR LF; "<none>" past the end.
inline std::string line_of(std::string_view text, size_t n) {
    size_t start = 0;
    for (size_t i = 0; i < n; ++i) {
        start = text.find(kCrLf, start);
        if (start == std::string_view::npos) return "<none>";
        start += 2;
    }
    size_t end = text.find(kCrLf, start);
    if (end == std::string_view::npos) return "<none>";
    return std::string(text.substr(start, end - start));
}

}  // namespace tlv::testing
