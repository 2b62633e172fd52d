#pragma once

#include <string_view>

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

    // Reads the next item; false at the end of the text.
    bool next(std::string_view& item);
    // Where the next item's reading starts: past the last item's delimiter.
    size_t position() const { return pos_; }

private:
    void skip_delimiter();

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
