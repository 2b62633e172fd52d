#pragma once

#include <string>

namespace tlv::bench {

// A realistic exchange text: `points` point blocks spread over the north of
// the Netherlands, then one route per 30 points with 10 members each.
std::string generate_exchange(int points);

}  // namespace tlv::bench
