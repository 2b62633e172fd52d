// The error log and its message table.

#include <filesystem>
#include <sstream>

#include "shared/ClsError.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_folder.h"

namespace tlv {
namespace {

using testing::TempFolder;

// An entry's first two lines at the test clock's time, then its other lines.
std::string entry(int number, std::string_view rest) {
    return "\r\nNieuwe Fout[" + std::to_string(number) + "]6-12-2026 09:05:07 app.tolvane\r\n" +
           std::string(rest);
}

class ErrorLog : public testing::InFolder {
protected:
    std::string log() const { return folder.read("error.log"); }
};

// A hand-written table of tests/shared/golden: "number<TAB>text" per line.
std::map<int32_t, std::string> golden_table(const char* name) {
    std::istringstream lines(
        testing::read_bytes(testing::test_data(std::string("shared/golden/") + name)));
    std::map<int32_t, std::string> table;
    for (std::string line; std::getline(lines, line);)
        table[std::stoi(line)] = line.substr(line.find('\t') + 1);
    return table;
}

// Every number from -1 to 25001: its row's text with the value composed in
// (<v>; <crlf> a line break), or none; and the technical descriptions.
TEST(MessageTable, HoldsExactlyItsRows) {
    std::map<int32_t, std::string> rows = golden_table("messages.txt");
    std::map<int32_t, std::string> descriptions = golden_table("descriptions.txt");
    for (int32_t number = -1; number <= 25001; ++number) {
        std::string text = rows[number];
        if (size_t at = text.find("<crlf>"); at != std::string::npos) text.replace(at, 6, "\r\n");
        ASSERT_EQ(ClsError::FoutTekst(number, "<v>"), text) << number;
        ASSERT_EQ(default_description(number), descriptions[number]) << number;
    }
}

TEST_F(ErrorLog, EntryWithEveryLineOrWithoutItsOptionalLines) {
    platform.boxes.expect({testing::error_box("Kan het bestand niet vinden:/data/a.txt"), "Fout",
                           port::BoxStyle::ErrorReport});
    std::string message;
    try {
        raise(53, "File not found");
    } catch (...) {
        message = ClsError().error("ModWriteFile", 53, "SchrijfBestand", "/data/a.txt", true);
    }
    EXPECT_EQ(message, "Kan het bestand niet vinden:/data/a.txt");
    EXPECT_EQ(log(),
              entry(53,
                    "Foutmelding:[Kan het bestand niet vinden:/data/a.txt] in [ModWriteFile]\r\n"
                    "Technische fout [File not found]\r\n"
                    "Opgetreden bij het uitvoeren van SchrijfBestand\r\n"
                    "Bij het werken met deze waarde:[/data/a.txt]\r\n"));

    // Blank or "Error 448" values, blank places and blank descriptions leave their
    // lines out; a failure handed over as a value carries its description unthrown.
    std::filesystem::remove(folder.file("error.log"));
    platform.clock.set({2027, 1, 3, 0, 4, 9});
    platform.application.title = "tlvexpress";
    EXPECT_EQ(ClsError().error("FrmOpties", 20001, "   ", "  "), "Het veld    is niet ingevuld.");
    EXPECT_EQ(ClsError().error("frmInvullen", 6, "", "Error 448", false), "Technische fout");
    EXPECT_EQ(ClsError().error("ClsParse", Failure(5), "tekstWaarde", "", false),
              "Technische fout");
    EXPECT_EQ(log(),
              "\r\nNieuwe Fout[20001]3-1-2027 00:04:09 app.tlvexpress\r\n"
              "Foutmelding:[Het veld    is niet ingevuld.] in [FrmOpties]\r\n"
              "\r\nNieuwe Fout[6]3-1-2027 00:04:09 app.tlvexpress\r\n"
              "Foutmelding:[Technische fout] in [frmInvullen]\r\n"
              "\r\nNieuwe Fout[5]3-1-2027 00:04:09 app.tlvexpress\r\n"
              "Foutmelding:[Technische fout] in [ClsParse]\r\n"
              "Technische fout [Invalid procedure call or argument]\r\n"
              "Opgetreden bij het uitvoeren van tekstWaarde\r\n");
}

TEST_F(ErrorLog, EachReportRewritesTheLogAsItNowIs) {
    using namespace std::string_literals;
    folder.write("error.log", "  indented\r\n\tkept tab\nlone lf\r\x81\0end"s);
    ClsError().error("ModStart", 70);
    const std::string kept = "indented\r\n\tkept tab\r\nlone lf\r\n\x81\0end\r\n"s;
    const std::string report = entry(70, "Foutmelding:[Geen toegang] in [ModStart]\r\n");
    EXPECT_EQ(log(), kept + report);
    // Entries are appended while the log is as the reporter left it; a log that
    // someone else changed in between is read back again: a first line begun by
    // one blank, a lone CR before a line end.
    std::string expected = kept + report;
    for (auto [added, read_back] : {std::pair(" door een ander\r\n", "door een ander\r\n"),
                                    std::pair("en nog een\r\r\n", "en nog een\r\n\r\n")}) {
        folder.write("error.log", added + log());
        ClsError().error("ModStart", 70);
        expected = read_back + expected + report;
        EXPECT_EQ(log(), expected);
    }
    ClsError().error("ModStart", 70);
    EXPECT_EQ(log(), expected + report);
}

TEST_F(ErrorLog, CapAtTwoHundredThousandBytes) {
    const std::string report = entry(13, "Foutmelding:[Gegevenstype klopt niet] in [ClsParse]\r\n");
    const std::string below = std::string(199999 - 2, 'x') + "\r\n";
    folder.write("error.log", below);
    ClsError().error("ClsParse", 13);
    EXPECT_EQ(log(), below + report);
    folder.write("error.log", below + "y");
    ClsError().error("ClsParse", 13);
    EXPECT_EQ(log(), report);
}

// The reports of a batch land as they would have one by one: each entry read back without leading
// blanks, and the cap measured on the log as rewritten (the old log loses 100 blanks, so the second
// entry still fits; with the third the log would be 200,000 bytes exactly).
TEST_F(ErrorLog, BatchWritesWhatSeparateReportsWould) {
    const std::string old = std::string(100, ' ') + "old\r\n" + std::string(199703, 'x') + "\r\n";
    auto four_reports = [] {
        ClsError().error("A", 53, "", "v\r\n  w");
        ClsError().error("B", 53, "", "v\r\n  w");
        ClsError().error("C", 53, "", "p\r\n  q");
        ClsError().error("D", 70);
    };
    folder.write("error.log", old);
    {
        ClsError::Batch batch;
        four_reports();
        EXPECT_EQ(log(), old);  // nothing written until the batch ends
    }
    const std::string expected = entry(53,
                                       "Foutmelding:[Kan het bestand niet vinden:p\r\nq] in [C]\r\n"
                                       "Bij het werken met deze waarde:[p\r\nq]\r\n") +
                                 entry(70, "Foutmelding:[Geen toegang] in [D]\r\n");
    EXPECT_EQ(log(), expected);

    TempFolder other;
    platform.application.folder = other.path();
    other.write("error.log", old);
    four_reports();
    EXPECT_EQ(other.read("error.log"), expected);
}

// A value of any length is cut to its first 2,000 bytes, so that one report keeps the log far
// inside its bound; the message carries the same cut value.
TEST_F(ErrorLog, LongValueIsCut) {
    const std::string value = std::string(2000, 'a') + std::string(40 << 20, 'b');
    EXPECT_EQ(ClsError().error("ClsInstellingen", 53, "LeesFile", value),
              "Kan het bestand niet vinden:" + std::string(2000, 'a') + " ...");
    EXPECT_THAT(log(), HasSubstr("waarde:[" + std::string(2000, 'a') + " ...]\r\n"));
}

// A report the log cannot take still shows its box, returns its message and reaches standard error,
// never lost without a word.
TEST_F(ErrorLog, UnwritableLogLosesNoReport) {
    std::filesystem::create_directory(folder.file("error.log"));
    platform.boxes.expect();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ClsError().error("ModWriteFile", 76, "SchrijfBestand", "/x", true),
              "Kan het pad niet vinden /x");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              entry(76,
                    "Foutmelding:[Kan het pad niet vinden /x] in [ModWriteFile]\r\n"
                    "Opgetreden bij het uitvoeren van SchrijfBestand\r\n"
                    "Bij het werken met deze waarde:[/x]\r\n"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("error.log")));

    std::filesystem::create_directory(folder.file("log"));
    folder.write("log/error.log", "  old\r\n");  // a rewrite, not an append, is needed here
    platform.application.folder = folder.file("log");
    if (!testing::set_immutable(folder.file("log"), true)) GTEST_SKIP() << "no immutable flag";
    EXPECT_EQ(ClsError().error("ModStart", 70), "Geen toegang");
    testing::set_immutable(folder.file("log"), false);
    EXPECT_EQ(folder.read("log/error.log"), "  old\r\n");
}

}  // namespace
}  // namespace tlv
