#include <gtest/gtest.h>

#include <filesystem>

#include "shared/ClsError.h"
#include "shared/failure.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_folder.h"

namespace tlv {
namespace {

using testing::FakePlatform;
using testing::TempFolder;

class ErrorLog : public ::testing::Test {
protected:
    TempFolder folder;
    FakePlatform platform{folder.path(), "tolvane"};

    std::string log() const { return folder.read("error.log"); }

    // Reports as a trapping procedure does: from inside the catch block.
    std::string report_failure(int32_t number, std::string description, std::string_view naam,
                               std::string_view plaats, std::string_view waarde, bool box) {
        try {
            raise(number, std::move(description));
        } catch (...) {
            return ClsError().error(naam, number, plaats, waarde, box);
        }
    }
};

TEST(MessageTable, EveryRowByteForByte) {
    const std::pair<int32_t, const char*> rows[] = {
        {7, "Geen geheugen meer"},
        {11, "Delen door nul"},
        {13, "Gegevenstype klopt niet"},
        {14, "De tekst is te lang"},
        {16, "De expressie is te complex"},
        {17, "De operatie kan niet worden uitgevoerd"},
        {18, "De gebruiker heeft het proces onderbroken"},
        {35, "Er wordt een niet bestaande functie aangeroepen"},
        {48, "De *.dll kan niet worden geladen"},
        {49, "Fout in dll aanroep"},
        {51, "Interne fout"},
        {52, "Bestandsnaam klopt niet"},
        {53, "Kan het bestand niet vinden:<v>"},
        {54, "De modus van het bestand klopt niet"},
        {55, "Het bestand is reeds geopend"},
        {58, "Het bestand bestaat al"},
        {59, "De lengte van de tupel klopt niet"},
        {61, "De schijf is vol"},
        {62, "De input is groter dan het bestand"},
        {63, "Verkeerd tupel nummer"},
        {67, "Er zijn teveel bestanden"},
        {68, "Het apparaat is niet beschikbaar"},
        {70, "Geen toegang"},
        {71, "De schijf is niet klaar"},
        {74, "Kan niet hernoemt worden met een andere schijf <v>"},
        {75, "Het pad of bestand kan niet benadert worden <v>"},
        {76, "Kan het pad niet vinden <v>"},
        {91, "De variabele of het object is leeg"},
        {94, "Ongeldige waarde 0"},
        {482, "Afdrukken is niet mogelijk door een fout van de printer"},
        {492, "U heeft de verkeerde versie van dit programma ge\xEFnstalleerd"},
        {744, "De zoektekst kon niet worden gevonden"},
        {746, "De vervanging is te lang"},
        {20001, "Het veld <v> is niet ingevuld."},
        {20002, "De velden <v> zijn niet ingevuld."},
        {20003, "Er is een fout opgetreden bij het maken van het bestand\r\n<v>"},
        {20004, "Het bestand is gemaakt met fouten\r\n<v>"},
        {20005, "Bij het schrijven is een fout opgetreden<v>"},
        {20477, "De bestandsnaam is ongeldig <v>"},
    };
    for (const auto& [number, text] : rows)
        EXPECT_EQ(ClsError::FoutTekst(number, "<v>"), text) << number;
    EXPECT_NE(ClsError::FoutTekst(492, "").find("ge\xEFnstalleerd"), std::string::npos);
    for (int32_t number : {0, 1, 6, 9, 19999, 25000, 25001, -53, INT32_MAX, INT32_MIN})
        EXPECT_EQ(ClsError::FoutTekst(number, "<v>"), "") << number;
}

TEST_F(ErrorLog, EntryWithEveryLineAndTheBox) {
    EXPECT_EQ(report_failure(53, "File not found", "ModWriteFile", "SchrijfBestand", "/data/a.txt",
                             true),
              "Kan het bestand niet vinden:/data/a.txt");
    EXPECT_EQ(log(),
              "\r\nNieuwe Fout[53]6-12-2026 09:05:07 app.tolvane\r\n"
              "Foutmelding:[Kan het bestand niet vinden:/data/a.txt] in [ModWriteFile]\r\n"
              "Technische fout [File not found]\r\n"
              "Opgetreden bij het uitvoeren van SchrijfBestand\r\n"
              "Bij het werken met deze waarde:[/data/a.txt]\r\n");
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text,
              "De volgende fout is opgetreden\r\nKan het bestand niet vinden:/data/a.txt");
    EXPECT_EQ(platform.boxes[0].title, "Fout");
    EXPECT_EQ(platform.boxes[0].style, 54);
}

TEST_F(ErrorLog, OptionalLinesLeftOutAndNoBoxByDefault) {
    platform.time = {2027, 11, 23, 17, 4, 9};
    platform.application.title = "tlvexpress";
    EXPECT_EQ(ClsError().error("FrmOpties", 20001, "   ", "  "), "Het veld    is niet ingevuld.");
    EXPECT_EQ(ClsError().error("frmInvullen", 6, "", "Error 448", false), "Technische fout");
    EXPECT_EQ(report_failure(9, "   ", "X", "", "", false), "Technische fout");
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(log(),
              "\r\nNieuwe Fout[20001]23-11-2027 17:04:09 app.tlvexpress\r\n"
              "Foutmelding:[Het veld    is niet ingevuld.] in [FrmOpties]\r\n"
              "\r\nNieuwe Fout[6]23-11-2027 17:04:09 app.tlvexpress\r\n"
              "Foutmelding:[Technische fout] in [frmInvullen]\r\n"
              "\r\nNieuwe Fout[9]23-11-2027 17:04:09 app.tlvexpress\r\n"
              "Foutmelding:[Technische fout] in [X]\r\n");
}

TEST_F(ErrorLog, OldLinesLoseLeadingBlanksOnRewrite) {
    folder.write("error.log", "  indented\r\n\tkept tab\r\nlone lf\nend without line end");
    ClsError().error("ModStart", 70);
    EXPECT_EQ(log(),
              "indented\r\n\tkept tab\r\nlone lf\r\nend without line end\r\n"
              "\r\nNieuwe Fout[70]6-12-2026 09:05:07 app.tolvane\r\n"
              "Foutmelding:[Geen toegang] in [ModStart]\r\n");
}

// Entries are appended while the log is as the reporter left it; a log that
// someone else changed in between gets the full rewrite again.
TEST_F(ErrorLog, ChangedLogBetweenReportsIsRewritten) {
    ClsError().error("ModStart", 70);
    std::string first = log();
    folder.write("error.log", first + "   door een ander\r\n");
    ClsError().error("ModStart", 70);
    EXPECT_EQ(log(), first + "door een ander\r\n" + first);
    ClsError().error("ModStart", 70);
    EXPECT_EQ(log(), first + "door een ander\r\n" + first + first);
}

TEST_F(ErrorLog, CapAtTwoHundredThousandBytes) {
    const std::string entry =
        "\r\nNieuwe Fout[13]6-12-2026 09:05:07 app.tolvane\r\n"
        "Foutmelding:[Gegevenstype klopt niet] in [ClsParse]\r\n";
    std::string below(199999 - 2, 'x');
    below += "\r\n";
    folder.write("error.log", below);
    ClsError().error("ClsParse", 13);
    EXPECT_EQ(log(), below + entry);

    folder.write("error.log", below + "y");
    ASSERT_EQ(std::filesystem::file_size(folder.file("error.log")), 200000u);
    ClsError().error("ClsParse", 13);
    EXPECT_EQ(log(), entry);
}

TEST_F(ErrorLog, AnyBytesInTheOldLogAreCarriedOver) {
    std::string junk("a\0b\xB0\r\r\n\x81", 8);
    folder.write("error.log", junk);
    ClsError().error("ClsParse", 13);
    EXPECT_EQ(log().substr(0, 11), std::string("a\0b\xB0\r\n\r\n\x81\r\n", 11));
}

TEST_F(ErrorLog, UnwritableLogStillShowsTheBoxAndReturnsTheMessage) {
    std::filesystem::create_directory(folder.file("error.log"));
    EXPECT_EQ(report_failure(76, "Path not found", "ModWriteFile", "SchrijfBestand", "/x", true),
              "Kan het pad niet vinden /x");
    EXPECT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("error.log")));
}

TEST_F(ErrorLog, ImmutableFolderOrLogIsLeftAsItWas) {
    folder.write("error.log", "old\r\n");
    if (!testing::set_immutable(folder.file("error.log"), true))
        GTEST_SKIP() << "no immutable flag";
    EXPECT_EQ(ClsError().error("ModStart", 70, "Main", "", true), "Geen toegang");
    testing::set_immutable(folder.file("error.log"), false);
    EXPECT_EQ(log(), "old\r\n");

    folder.write("error.log", "  old\r\n");  // a rewrite, not an append, is needed here
    ASSERT_TRUE(testing::set_immutable(folder.path(), true));
    EXPECT_EQ(ClsError().error("ModStart", 70, "Main", "", true), "Geen toegang");
    testing::set_immutable(folder.path(), false);
    EXPECT_EQ(log(), "  old\r\n");
    EXPECT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
}  // namespace tlv
