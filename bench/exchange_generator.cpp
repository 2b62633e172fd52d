#include "bench/exchange_generator.h"

#include <cstdio>

namespace tlv::bench {

std::string generate_exchange(int points) {
    std::string text = "[StrePla exchange]\r\nversion = 2.3\r\n\r\n";
    text.reserve(static_cast<size_t>(points) * 150);
    char block[256];
    for (int i = 1; i <= points; ++i) {
        int lat_minutes = 3000 + (i * 37) % 9000;  // hundredths of minutes
        int lon_minutes = 24000 + (i * 53) % 24000;
        std::snprintf(block, sizeof block,
                      "point\r\n{\r\n  name = \"P%05d\"\r\n  type = turnpoint\r\n"
                      "  lon = E%03d:%02d.%02d\r\n  lat = N%02d:%02d.%02d\r\n  elev = %d\r\n"
                      "  frequency = %s\r\n}\r\n\r\n",
                      i % 100000, lon_minutes / 6000, (lon_minutes / 100) % 60, lon_minutes % 100,
                      50 + lat_minutes / 6000, (lat_minutes / 100) % 60, lat_minutes % 100, i % 400,
                      i % 7 == 0 ? "123.50" : "");
        text += block;
    }
    for (int route = 1; route <= points / 30; ++route) {
        std::snprintf(block, sizeof block, "route\r\n{\r\n  name = \"Taak %d\"\r\n", route);
        text += block;
        for (int member = 0; member < 10; ++member) {
            std::snprintf(block, sizeof block, "  waypoint = %d\r\n",
                          (route - 1) * 30 + member * 3 + 1);
            text += block;
        }
        text += "}\r\n\r\n";
    }
    return text;
}

}  // namespace tlv::bench
