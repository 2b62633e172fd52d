#pragma once

#include "shared/failure.h"

namespace tlv::testing {

// The number of the failure an action raises, 0 when it raises none.
int failure_of(auto&& action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.number();
    }
    return 0;
}

}  // namespace tlv::testing
