#include <gtest/gtest.h>

#include "main/modStart.h"

namespace tlv::modStart {
namespace {

using Args = std::vector<std::string>;

TEST(GetCommandLine, SplitsByBlanksAndQuotesUpToTheMaximum) {
    const std::tuple<std::string_view, int, Args> cases[] = {
        {"", 10, {""}},
        {"  \t ", 10, {""}},
        {"a.ste\tb.txt   c", 10, {"", "a.ste", "b.txt", "c"}},
        {R"("C:\Mijn taken\week 49.ste" uit.txt)",
         10,
         {"", R"(C:\Mijn taken\week 49.ste)", "uit.txt"}},
        {"\"a\tb\"", 10, {"", "a\tb"}},
        {R"(abc"def")", 10, {"", "abc", "def"}},  // an opening quote always starts an argument
        {R"("ab"cd)", 10, {"", "ab", "cd"}},
        {R"("")", 10, {"", ""}},
        {R"(a "b c)", 10, {"", "a", "b c"}},
        {"een twee drie", 2, {"", "een", "twee"}},
        {R"(een twee "drie)", 2, {"", "een", "twee"}},
    };
    for (const auto& [line, maximum, expected] : cases)
        EXPECT_EQ(GetCommandLine(line, maximum), expected) << line;
    EXPECT_EQ(GetCommandLine("1 2 3 4 5 6 7 8 9 10 11 12").size(), 11u);
}

}  // namespace
}  // namespace tlv::modStart
