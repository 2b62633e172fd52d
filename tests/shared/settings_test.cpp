#include <gtest/gtest.h>

#include "shared/ClsInstellingen.h"
#include "shared/modInstellingen.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_folder.h"

namespace tlv {
namespace {

using testing::FakePlatform;
using testing::TempFolder;

constexpr std::string_view kDefaultFile =
    "StrePlaFile=\r\nGartripFile=\r\nGartipProgramma=\r\nStreplaProgramma=\r\n"
    "StartGartrip=2\r\nAutoCheckStrepla=2\r\nCheckForGARtrip=1";

constexpr std::string_view kBoxHeading = "De volgende fout is opgetreden\r\n";

class Settings : public ::testing::Test {
protected:
    TempFolder folder;
    FakePlatform platform{folder.path()};

    std::string kvr() const { return folder.file("tolvane.kvr"); }
    void store(std::string_view bytes) const { folder.write("tolvane.kvr", bytes); }
    std::string stored() const { return folder.read("tolvane.kvr"); }
    std::string box(size_t index) const {
        return index < platform.boxes.size() ? platform.boxes[index].text : "<no box>";
    }
};

TEST_F(Settings, MissingFileIsCreatedWithDefaultsAndReadBack) {
    ClsInstellingen settings;
    EXPECT_EQ(stored(), kDefaultFile);
    EXPECT_EQ(settings.strStreplaFile, "");
    EXPECT_EQ(settings.strGartripFile, "");
    EXPECT_EQ(settings.strGartripProgram, "");
    EXPECT_EQ(settings.strStreplaProgram, "");
    EXPECT_EQ(settings.intAutostart, 2);
    EXPECT_EQ(settings.intAutoCheckStrepla, 2);
    EXPECT_TRUE(settings.blnUseGPS());
    EXPECT_TRUE(settings.instloggers().empty());
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_FALSE(folder.exists("error.log"));
}

TEST_F(Settings, EveryKeyIsReadAndWrittenBackByteForByte) {
    folder.write("GARtrip.exe", "program");
    const std::string full = "StrePlaFile=C:\\StrePla\\export.ste\r\n"
                             "GartripFile=C:\\GARtrip\\punten.txt\r\n"
                             "GartipProgramma=" + folder.file("GARtrip.exe") + "\r\n"
                             "StreplaProgramma=C:\\StrePla\\StrePla.exe\r\n"
                             "StartGartrip=1\r\nAutoCheckStrepla=-3\r\nCheckForGARtrip=2\r\n"
                             "Loggers=*Colibri*X*C:\\col.exe*C:\\col.igc\r\n"
                             "Loggers=\r\n"
                             "Loggers=Volkslogger*\r\n";
    store(full);
    ClsInstellingen settings;
    EXPECT_EQ(settings.strStreplaFile, "C:\\StrePla\\export.ste");
    EXPECT_EQ(settings.strGartripFile, "C:\\GARtrip\\punten.txt");
    EXPECT_EQ(settings.strGartripProgram, folder.file("GARtrip.exe"));
    EXPECT_EQ(settings.strStreplaProgram, "C:\\StrePla\\StrePla.exe");
    EXPECT_EQ(settings.intAutostart, 1);
    EXPECT_EQ(settings.intAutoCheckStrepla, -3);
    EXPECT_FALSE(settings.blnUseGPS());
    LoggerTable expected = {{},
                            {"", "Colibri", "X", "C:\\col.exe", "C:\\col.igc"},
                            {""},
                            {"Volkslogger", ""}};
    EXPECT_EQ(settings.instloggers(), expected);

    folder.write("tolvane.kvr", "changed");
    settings.Wegschrijven();
    EXPECT_EQ(stored(), full);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(Settings, SwitchesAndLoggerTableAreWrittenAsAssigned) {
    ClsInstellingen settings;
    settings.intAutostart = -32768;
    settings.intAutoCheckStrepla = 100000;
    settings.blnUseGPS(false);
    EXPECT_FALSE(settings.blnUseGPS());
    settings.instloggers({{"row0", "dropped"}, {"a", "b"}});
    settings.Wegschrijven();
    EXPECT_EQ(stored(),
              "StrePlaFile=\r\nGartripFile=\r\nGartipProgramma=\r\nStreplaProgramma=\r\n"
              "StartGartrip=-32768\r\nAutoCheckStrepla=100000\r\nCheckForGARtrip=2\r\n"
              "Loggers=a*b\r\n");
    settings.blnUseGPS(true);
    settings.instloggers({});
    settings.Wegschrijven();
    EXPECT_EQ(stored(),
              "StrePlaFile=\r\nGartripFile=\r\nGartipProgramma=\r\nStreplaProgramma=\r\n"
              "StartGartrip=-32768\r\nAutoCheckStrepla=100000\r\nCheckForGARtrip=1\r\n");
}

TEST_F(Settings, GartripProgramIsTakenOnlyWhenTheFileExists) {
    folder.write(".hidden.exe", "x");
    store("GartipProgramma=" + folder.file("missing.exe") + "\r\nGartipProgramma=" +
          folder.path() + "\r\nGartipProgramma=" + folder.file(".hidden.exe") + "\r\n");
    ClsInstellingen settings;
    EXPECT_EQ(settings.strGartripProgram, "");
    settings.Wegschrijven();
    EXPECT_NE(stored().find("GartipProgramma=\r\n"), std::string::npos);

    // A NUL byte must not cut the path short onto an existing file.
    folder.write("GARtrip.exe", "program");
    store("GartipProgramma=" + folder.file("GARtrip.exe") + std::string(1, '\0') + "x\r\n");
    settings.Inlezen();
    EXPECT_EQ(settings.strGartripProgram, "");
}

TEST_F(Settings, KeysAreCaseSensitiveAndItemsFollowListInput) {
    store("strepLAfile=lower\r\nSTARTGARTRIP=abc\r\nGartripProgramma=typo\r\n"
          "\r\n   StreplaProgramma= blanks kept \r\nno equals sign\r\n"
          "StrePlaFile=C:\\a,b\\c.ste\r\n"
          "GartripFile=one,GartripFile=two,AutoCheckStrepla=1\r\n"
          "\"  StartGartrip= 1.5 \"\r\n=\r\n");
    ClsInstellingen settings;
    EXPECT_EQ(settings.strStreplaFile, "C:\\a");
    EXPECT_EQ(settings.strGartripFile, "two");
    EXPECT_EQ(settings.strGartripProgram, "");
    EXPECT_EQ(settings.strStreplaProgram, " blanks kept ");
    EXPECT_EQ(settings.intAutostart, 2);
    EXPECT_EQ(settings.intAutoCheckStrepla, 1);
    EXPECT_EQ(settings.blnUseGPS(), false);  // never read: the start value 0
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(Settings, EmptySwitchStopsReadingWithTypeMismatchReport) {
    store("StrePlaFile=a.ste\r\nStartGartrip=\r\nGartripFile=b.txt\r\nLoggers=x\r\n");
    ClsInstellingen settings;
    EXPECT_EQ(settings.strStreplaFile, "a.ste");
    EXPECT_EQ(settings.strGartripFile, "");
    EXPECT_EQ(settings.intAutostart, 0);
    EXPECT_TRUE(settings.instloggers().empty());
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, std::string(kBoxHeading) + "Gegevenstype klopt niet");
    EXPECT_EQ(platform.boxes[0].title, "Fout");
    EXPECT_EQ(platform.boxes[0].style, 54);
    EXPECT_EQ(folder.read("error.log"),
              "\r\nNieuwe Fout[13]6-12-2026 09:05:07 app.tolvane\r\n"
              "Foutmelding:[Gegevenstype klopt niet] in [ClsInstellingen]\r\n"
              "Technische fout [Type mismatch]\r\n"
              "Opgetreden bij het uitvoeren van LeesFile\r\n"
              "Bij het werken met deze waarde:[" + kvr() + " in de regel:StartGartrip=]\r\n");
}

TEST_F(Settings, FailedReadKeepsTheLoggerTableAndEarlierValues) {
    store("Loggers=a\r\n");
    ClsInstellingen settings;
    ASSERT_EQ(settings.instloggers().size(), 2u);
    store("Loggers=b\r\nGartripFile=new\r\n  CheckForGARtrip=32768\r\nStrePlaFile=late\r\n");
    settings.Inlezen();
    EXPECT_EQ(settings.instloggers(), (LoggerTable{{}, {"a"}}));
    EXPECT_EQ(settings.strGartripFile, "new");
    EXPECT_EQ(settings.strStreplaFile, "");
    EXPECT_EQ(box(0), std::string(kBoxHeading) + "Technische fout");
    EXPECT_NE(folder.read("error.log").find("in de regel:CheckForGARtrip=32768]"),
              std::string::npos);
}

TEST_F(Settings, LoggerLineOfSixteenBitLengthOrMoreIsOverflow) {
    store("Loggers=" + std::string(32766, 'x') + "\r\nLoggers=" + std::string(32767, 'y') + "\r\n");
    ClsInstellingen settings;
    EXPECT_TRUE(settings.instloggers().empty());
    EXPECT_EQ(box(0), std::string(kBoxHeading) + "Technische fout");
}

TEST_F(Settings, UnwritableFolderReportsInitWriteAndLeesFileAndKeepsStartValues) {
    if (!testing::set_immutable(folder.path(), true)) GTEST_SKIP() << "no immutable flag here";
    ClsInstellingen settings;
    testing::set_immutable(folder.path(), false);
    EXPECT_FALSE(folder.exists("tolvane.kvr"));
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(box(0), std::string(kBoxHeading) +
                          "Bij het schrijven is een fout opgetredenBij het schrijven van " + kvr() +
                          "\r\nIs de volgende fout opgetredenGeen toegang");
    EXPECT_EQ(box(1),
              std::string(kBoxHeading) + "Kan het bestand niet vinden:" + kvr() + " in de regel:");
    EXPECT_EQ(settings.strStreplaFile, "");
    EXPECT_EQ(settings.intAutostart, 0);
    EXPECT_EQ(settings.intAutoCheckStrepla, 0);
    EXPECT_FALSE(settings.blnUseGPS());
}

TEST_F(Settings, FailedWriteIsReportedAndLeavesTheOldFile) {
    store("StrePlaFile=old\r\n");
    ClsInstellingen settings;
    settings.strStreplaFile = "new";
    platform.fail_writes(kvr(), 61);
    settings.Wegschrijven();
    EXPECT_EQ(stored(), "StrePlaFile=old\r\n");
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(box(0), std::string(kBoxHeading) +
                          "Bij het schrijven is een fout opgetredenBij het schrijven van " + kvr() +
                          "\r\nIs de volgende fout opgetredenDe schijf is vol");
    const std::string log = folder.read("error.log");
    EXPECT_NE(log.find("Nieuwe Fout[61]"), std::string::npos);
    EXPECT_NE(log.find("Nieuwe Fout[20005]"), std::string::npos);
    EXPECT_NE(log.find("Opgetreden bij het uitvoeren van Wegschrijven\r\n"), std::string::npos);
}

TEST_F(Settings, AnyBytesLoadWithoutCrashOrHang) {
    store(std::string(4096, '\0'));
    ClsInstellingen nul_bytes;
    EXPECT_EQ(nul_bytes.intAutostart, 0);
    EXPECT_TRUE(platform.boxes.empty());

    store("StartGartrip=" + std::string(3, '\0'));
    ClsInstellingen nul_number;
    EXPECT_EQ(box(0), std::string(kBoxHeading) + "Gegevenstype klopt niet");

    const std::string high = "StrePlaFile=C:\\Vl\xFC\x63hten\\\xE9t\xE9\xB0\x80\x81\xFF.ste";
    store(high + "\r\nAutoCheckStrepla=1");  // last line without a line end
    ClsInstellingen high_bytes;
    EXPECT_EQ(high_bytes.strStreplaFile, high.substr(12));
    EXPECT_EQ(high_bytes.intAutoCheckStrepla, 1);

    store("StrePlaFile=a\r\nStartGartrip=1\r\nAutoCheckStrepla=\"1");  // truncated in a quote
    ClsInstellingen truncated;
    EXPECT_EQ(truncated.intAutostart, 1);
    EXPECT_EQ(truncated.intAutoCheckStrepla, 0);
    EXPECT_EQ(box(1), std::string(kBoxHeading) + "Gegevenstype klopt niet");
}

TEST_F(Settings, FiftyMegabyteLineWithoutLineEnd) {
    std::string huge = "GartripFile=" + std::string(50 * 1024 * 1024, 'g');
    store(huge);
    ClsInstellingen settings;
    EXPECT_EQ(settings.strGartripFile.size(), huge.size() - 12);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(Settings, OneSharedObjectUntilReleased) {
    store("StrePlaFile=first\r\n");
    std::shared_ptr<ClsInstellingen> first = Instellingen();
    EXPECT_EQ(Instellingen(), first);
    first->strGartripFile = "edited in place";
    EXPECT_EQ(Instellingen()->strGartripFile, "edited in place");

    store("StrePlaFile=second\r\n");
    InstellingenVrijgeven();
    std::shared_ptr<ClsInstellingen> second = Instellingen();
    EXPECT_NE(second, first);
    EXPECT_EQ(second->strStreplaFile, "second");
    EXPECT_EQ(first->strStreplaFile, "first");
    InstellingenVrijgeven();
}

}  // namespace
}  // namespace tlv
