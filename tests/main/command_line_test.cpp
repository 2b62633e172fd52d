#include <gtest/gtest.h>

#include "main/modStart.h"

namespace tlv::modStart {
namespace {

using Args = std::vector<std::string>;

TEST(GetCommandLine, EmptyLineGivesOnlyElementZero) {
    EXPECT_EQ(GetCommandLine(""), Args{""});
    EXPECT_EQ(GetCommandLine("  \t "), Args{""});
}

TEST(GetCommandLine, BlanksAndTabsSeparateWithoutEmptyArguments) {
    EXPECT_EQ(GetCommandLine("a.ste\tb.txt   c"), (Args{"", "a.ste", "b.txt", "c"}));
    EXPECT_EQ(GetCommandLine("  a  "), (Args{"", "a"}));
}

TEST(GetCommandLine, QuotesGroupAndAreDropped) {
    EXPECT_EQ(GetCommandLine(R"("C:\Mijn taken\week 49.ste" uit.txt)"),
              (Args{"", R"(C:\Mijn taken\week 49.ste)", "uit.txt"}));
    EXPECT_EQ(GetCommandLine("\"a\tb\""), (Args{"", "a\tb"}));
}

TEST(GetCommandLine, OpeningQuoteAlwaysStartsANewArgument) {
    EXPECT_EQ(GetCommandLine(R"(abc"def")"), (Args{"", "abc", "def"}));
    // After a closing quote, further characters start another argument.
    EXPECT_EQ(GetCommandLine(R"("ab"cd)"), (Args{"", "ab", "cd"}));
}

TEST(GetCommandLine, EmptyQuotesAndUnterminatedQuote) {
    EXPECT_EQ(GetCommandLine(R"("")"), (Args{"", ""}));
    EXPECT_EQ(GetCommandLine(R"(a "b c)"), (Args{"", "a", "b c"}));
}

TEST(GetCommandLine, StopsAtTheMaximum) {
    EXPECT_EQ(GetCommandLine("een twee drie", 2), (Args{"", "een", "twee"}));
    EXPECT_EQ(GetCommandLine(R"(een twee "drie)", 2), (Args{"", "een", "twee"}));
    EXPECT_EQ(GetCommandLine("1 2 3 4 5 6 7 8 9 10 11 12").size(), 11u);
}

}  // namespace
}  // namespace tlv::modStart
