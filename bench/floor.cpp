// The floor under a silent conversion: a run that reads the exchange file as
// the conversion does, holds records as large as it (as the waypoint list
// does), and safely replaces a text file of the usual size (five sixths of the
// exchange file), with no conversion work in between.  bench/run.sh runs it
// beside cp and tolvane.
//   floor EXCHANGE TEXT
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "shared/platform/large_pages.h"
#include "shared/platform/port.h"

int main(int argc, char** argv) {
    using namespace tlv::port;
    if (argc != 3) {
        std::fprintf(stderr, "floor EXCHANGE TEXT\n");
        return 2;
    }
    const std::string text = files().read_all(argv[1], UINT64_MAX);
    const std::vector<char, LargePageAllocator<char>> records(text.size(), 1);
    files().replace(argv[2], std::string_view(text).substr(0, text.size() * 5 / 6));
}
