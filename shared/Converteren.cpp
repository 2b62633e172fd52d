#include "shared/Converteren.h"

#include <cstdint>

#include "shared/failure.h"

namespace tlv {

std::vector<std::string> Splitsen(std::string_view text) {
    if (text.size() >= INT16_MAX) raise(err::kOverflow);
    std::vector<std::string> fields;
    size_t position = 0;
    for (;;) {
        size_t star = text.find('*', position);
        if (star == std::string_view::npos) {
            fields.emplace_back(text.substr(position));
            return fields;
        }
        fields.emplace_back(text.substr(position, star - position));
        position = star + 1;
    }
}

std::string Samenvoegen(const std::vector<std::string>& fields) {
    if (fields.size() > static_cast<size_t>(INT16_MAX)) raise(err::kOverflow);
    std::string text;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i != 0) text += '*';
        text += fields[i];
    }
    return text;
}

}  // namespace tlv
