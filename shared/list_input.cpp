#include "shared/list_input.h"

namespace tlv {
namespace {

// Comma, CR and LF all lie below 0x2D: one comparison rules out most bytes.
bool is_delimiter(char c) { return c == ',' || c == '\r' || c == '\n'; }

// Position of the first comma or line end at or after pos, or the text's size.
size_t find_delimiter(std::string_view text, size_t pos) {
    const char* data = text.data();
    const size_t size = text.size();
    for (; pos < size; ++pos) {
        auto byte = static_cast<unsigned char>(data[pos]);
        if (byte <= ',' && is_delimiter(data[pos])) return pos;
    }
    return size;
}

}  // namespace

void ListInputReader::skip_delimiter() {
    if (pos_ >= text_.size()) return;
    char c = text_[pos_++];
    if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
}

bool ListInputReader::next(std::string_view& item) {
    if (pos_ >= text_.size()) return false;
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '"') {
        size_t start = pos_ + 1;
        size_t close = text_.find('"', start);
        if (close == std::string_view::npos) close = text_.size();
        item = text_.substr(start, close - start);
        pos_ = find_delimiter(text_, close == text_.size() ? close : close + 1);
    } else {
        size_t end = find_delimiter(text_, pos_);
        item = text_.substr(pos_, end - pos_);
        pos_ = end;
    }
    skip_delimiter();
    return true;
}

bool LineReader::next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find_first_of("\r\n", pos_);
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < text_.size()) {
        char c = text_[pos_++];
        if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    }
    return true;
}

}  // namespace tlv
