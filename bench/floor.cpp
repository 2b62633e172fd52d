// The floor under a silent conversion: a run that reads the exchange file as
// the conversion does, holds records as large as it (as the waypoint list
// does), and safely replaces a text file of the usual size (five sixths of the
// exchange file), with no conversion work in between.  bench/run.sh runs it
// beside cp and tolvane.
//   floor EXCHANGE TEXT
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "shared/platform/native.h"
#include "shared/platform/port.h"

int main(int argc, char** argv) {
    using namespace tlv::port;
    if (argc != 3) {
        std::fprintf(stderr, "floor EXCHANGE TEXT\n");
        return 2;
    }
    const std::string text = files().read_all(argv[1]);
    const auto records = std::make_unique_for_overwrite<char[]>(text.size());
    if (text.size() >= (size_t{2} << 20)) native::prepare_pages(records.get(), text.size());
    std::memset(records.get(), 1, text.size());
    files().replace(argv[2], std::string_view(text).substr(0, text.size() * 5 / 6));
}
