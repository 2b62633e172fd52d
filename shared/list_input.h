#pragma once

#include <string_view>

#include "shared/byte_search.h"

namespace tlv {

// Reads a text the way list input does, item by item:
// - an item ends at a comma or at a line end (CR LF, lone LF or lone CR);
// - blanks (spaces, tabs) at its start are skipped;
// - an item that starts with a double quote runs to the next double quote
//   (line ends included) and loses both quotes; what follows the closing
//   quote up to the next comma or line end is dropped;
// - an unquoted item keeps its trailing blanks;
// - an empty line is an empty item.
// Items are views into the text, which must outlive the reader.
class ListInputReader {
public:
    explicit ListInputReader(std::string_view text) : text_(text) {}

    // Reads the next item; false at the end of the text.  Inline: a
    // conversion reads every line of its file through here.
    bool next(std::string_view& item) {
        const size_t size = text_.size();
        if (pos_ >= size) return false;
        const char* data = text_.data();
        while (pos_ < size && (data[pos_] == ' ' || data[pos_] == '\t')) ++pos_;
        if (pos_ < size && data[pos_] == '"') {
            const size_t start = pos_ + 1;
            size_t close = text_.find('"', start);
            if (close == std::string_view::npos) close = size;
            item = {data + start, close - start};
            pos_ = find_delimiter(close == size ? close : close + 1);
        } else {
            const size_t end = find_delimiter(pos_);
            item = {data + pos_, end - pos_};
            pos_ = end;
        }
        skip_delimiter();
        return true;
    }
    // Where the next item's reading starts: past the last item's delimiter.
    size_t position() const { return pos_; }

private:
    // Position of the first comma or line end at or after pos, or the text's size.
    size_t find_delimiter(size_t pos) const { return bytes::find_any<',', '\r', '\n'>(text_, pos); }
    void skip_delimiter() {
        if (pos_ >= text_.size()) return;
        const char c = text_[pos_++];
        if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    }

    std::string_view text_;
    size_t pos_ = 0;
};

// Reads a text line by line; lines end at CR LF, lone LF or lone CR.  A final
// line without a line end is still a line; nothing follows the last line end.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool next(std::string_view& line);

private:
    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace tlv
