#include "conversion/ClsRoutes.h"

#include <cstdint>

#include "shared/ClsError.h"
#include "shared/failure.h"

namespace tlv {

void ClsRoutes::objWaypoint(std::shared_ptr<ClsWaypoint> val) {
    // Reported without raising: a route may run past the count on every one
    // of millions of lines, and each report must stay cheap.
    if (member_count_ == INT16_MAX) {
        // The message does not reach the conversion's error text: the log holds it.
        ClsError().error("ClsRoutes", Failure(err::kOverflow), __func__, "", false);
        return;
    }
    ++member_count_;
    members_.push_back(std::move(val));
}

}  // namespace tlv
