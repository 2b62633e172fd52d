#pragma once

#include "conversion/ParseObject.h"
#include "shared/component_loader.h"

namespace tlv::testing {

// For its lifetime the program's conversions run in this process, under the
// test adapter (fake clock, scripted files), instead of in the loaded library.
class InProcessConversion {
public:
    InProcessConversion()
        : previous_(install_parse_factory(
              [] { return ParseComponent(nullptr, component::new_parse_object()); })) {}
    ~InProcessConversion() { install_parse_factory(std::move(previous_)); }
    InProcessConversion(const InProcessConversion&) = delete;
    InProcessConversion& operator=(const InProcessConversion&) = delete;

private:
    ParseFactory previous_;
};

}  // namespace tlv::testing
