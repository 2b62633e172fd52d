#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/ClsWaypoint.h"

namespace tlv {

// One route block: its name and its turn points in file order.  Members are
// shared with the waypoint list; a waypoint named twice is held twice.
class ClsRoutes {
public:
    // Appends a member (its key is the new member count).  A count past 32767
    // is reported under "ClsRoutes" and the member is dropped.
    void objWaypoint(std::shared_ptr<ClsWaypoint> val);

    void strName(std::string_view strval) { name_ = strval; }
    const std::string& strName() const { return name_; }

    const std::vector<std::shared_ptr<ClsWaypoint>>& colWaypoints() const { return members_; }

private:
    std::string name_;
    int16_t member_count_ = 0;
    std::vector<std::shared_ptr<ClsWaypoint>> members_;
};

}  // namespace tlv
