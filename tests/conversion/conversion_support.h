#pragma once

#include <regex>

#include "conversion/ClsParse.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_folder.h"

namespace tlv::testing {

// One entry of error.log, as far as the conversion's tests look at it.
struct Report {
    int number = 0;
    std::string naam, plaats, waarde;
    friend bool operator==(const Report&, const Report&) = default;
};
using Reports = std::vector<Report>;
inline void PrintTo(const Report& r, std::ostream* out) {
    *out << r.number << " " << r.naam << "." << r.plaats << " [" << r.waarde << "]";
}

inline Reports parse_log(const std::string& log) {
    // An entry's lines, the optional ones optional; values may hold line ends.
    static const std::regex entry(
        "\r\nNieuwe Fout\\[(-?\\d+)\\][^\r]*\r\nFoutmelding:\\[[^\\]]*\\] in \\[([^\\]]*)\\]\r\n"
        "(?:Technische fout \\[[^\\]]*\\]\r\n)?(?:Opgetreden bij het uitvoeren van ([^\r]*)\r\n)?"
        "(?:Bij het werken met deze waarde:\\[([\\s\\S]*?)\\]\r\n(?=\r\nNieuwe|$))?");
    Reports reports;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), entry);
         it != std::sregex_iterator(); ++it)
        reports.push_back({std::stoi((*it)[1]), (*it)[2], (*it)[3], (*it)[4]});
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
    Reports reports() const {
        return folder.exists("error.log") ? parse_log(folder.read("error.log")) : Reports{};
    }
};

// A point block as the exchange export writes it.
inline std::string point_block(std::string_view name, std::string_view lon = "E006:34.95",
                               std::string_view lat = "N53:07.50", std::string_view elev = "5",
                               std::string_view frequency = "123.50") {
    return "point {\r\n  name = \"" + std::string(name) +
           "\"\r\n  type = airfield\r\n  lon = " + std::string(lon) +
           "\r\n  lat = " + std::string(lat) + "\r\n  elev = " + std::string(elev) +
           "\r\n  frequency = " + std::string(frequency) + "\r\n}\r\n";
}

inline std::string route_block(std::string_view name, const std::vector<std::string>& members) {
    std::string block = "route {\r\n  name = \"" + std::string(name) + "\"\r\n";
    for (const std::string& member : members) block += "  waypoint = " + member + "\r\n";
    return block + "}\r\n";
}

}  // namespace tlv::testing
