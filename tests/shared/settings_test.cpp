#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>

#include "shared/ClsInstellingen.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_folder.h"

namespace tlv {
namespace {

// Every value but the logger table, in the file's order.
auto values(const ClsInstellingen& s) {
    return std::make_tuple(s.strStreplaFile, s.strGartripFile, s.strGartripProgram,
                           s.strStreplaProgram, s.intAutostart, s.intAutoCheckStrepla,
                           s.blnUseGPS());
}

class Settings : public testing::InFolder {
protected:
    std::string kvr() const { return folder.file("tolvane.kvr"); }
    void store(std::string_view bytes) const { folder.write("tolvane.kvr", bytes); }
    std::string stored() const { return folder.read("tolvane.kvr"); }
};

TEST_F(Settings, EveryKeyRoundTripsByteForByte) {
    folder.write("GARtrip.exe", "program");
    const std::string full =
        "StrePlaFile=C:\\StrePla\\export.ste\r\n"
        "GartripFile=C:\\GARtrip\\punten.txt\r\n"
        "GartipProgramma=" +
        folder.file("GARtrip.exe") +
        "\r\n"
        "StreplaProgramma=C:\\StrePla\\StrePla.exe\r\n"
        "StartGartrip=1\r\nAutoCheckStrepla=-3\r\nCheckForGARtrip=2\r\n"
        "Loggers=*Colibri*X*C:\\col.exe*C:\\col.igc\r\n"
        "Loggers=\r\n"
        "Loggers=Volkslogger*\r\n"
        "CupFile=C:\\Taken\\taak.cup\r\nGpxFile=C:\\Taken\\taak.gpx\r\n";
    store(full);
    ClsInstellingen settings;
    EXPECT_EQ(
        values(settings),
        std::make_tuple("C:\\StrePla\\export.ste", "C:\\GARtrip\\punten.txt",
                        folder.file("GARtrip.exe"), "C:\\StrePla\\StrePla.exe", 1, -3, false));
    EXPECT_EQ(
        settings.instloggers(),
        (LoggerTable{
            {}, {"", "Colibri", "X", "C:\\col.exe", "C:\\col.igc"}, {""}, {"Volkslogger", ""}}));
    EXPECT_EQ(settings.strCupFile + "|" + settings.strGpxFile,
              "C:\\Taken\\taak.cup|C:\\Taken\\taak.gpx");
    store("changed");
    settings.Wegschrijven();
    EXPECT_EQ(stored(), full);

    settings.intAutostart = -32768;
    settings.blnUseGPS(true);
    settings.instloggers({{"row0", "never written"}, {"a", "b"}});
    settings.strCupFile.clear();  // an empty extra output has no line
    settings.Wegschrijven();
    EXPECT_THAT(stored(), ::testing::EndsWith(
                              "StartGartrip=-32768\r\nAutoCheckStrepla=-3\r\nCheckForGARtrip=1\r\n"
                              "Loggers=a*b\r\nGpxFile=C:\\Taken\\taak.gpx\r\n"));
}

TEST_F(Settings, GartripProgramOnlyWhenTheFileExistsKeysCaseSensitiveItemsAsListInput) {
    store("GartipProgramma=" + folder.path() + "\r\n");
    EXPECT_EQ(ClsInstellingen().strGartripProgram, "");
    store(
        "strepLAfile=lower\r\nSTARTGARTRIP=abc\r\nGartripProgramma=typo\r\n"
        "\r\n   StreplaProgramma= blanks kept \r\nno equals sign\r\n"
        "StrePlaFile=C:\\a,b\\c.ste\r\n"
        "GartripFile=one,GartripFile=two,AutoCheckStrepla=1\r\n"
        "\"  StartGartrip= 1.5 \"\r\n=\r\n");
    ClsInstellingen settings;
    // CheckForGARtrip is never read: the start value 0.
    EXPECT_EQ(values(settings), std::make_tuple("C:\\a", "two", "", " blanks kept ", 2, 1, false));

    const std::string high = "StrePlaFile=C:\\Vl\xFC\x63hten\\\xE9t\xE9\xB0\x80\x81\xFF.ste";
    store(high + "\r\nAutoCheckStrepla=2");  // the last line without a line end
    settings.Inlezen();
    EXPECT_EQ(settings.strStreplaFile, high.substr(12));
    EXPECT_EQ(settings.intAutoCheckStrepla, 2);
}

TEST_F(Settings, FailedReadKeepsWhatWasReadBeforeIt) {
    store("StrePlaFile=a.ste\r\nStartGartrip=\r\nGartripFile=b.txt\r\nLoggers=x\r\n");
    platform.boxes.expect(testing::error_box("Gegevenstype klopt niet"));
    ClsInstellingen settings;
    EXPECT_EQ(values(settings), std::make_tuple("a.ste", "", "", "", 0, 0, false));
    EXPECT_TRUE(settings.instloggers().empty());
    EXPECT_EQ(folder.read("error.log"),
              "\r\nNieuwe Fout[13]6-12-2026 09:05:07 app.tolvane\r\n"
              "Foutmelding:[Gegevenstype klopt niet] in [ClsInstellingen]\r\n"
              "Technische fout [Type mismatch]\r\n"
              "Opgetreden bij het uitvoeren van LeesFile\r\n"
              "Bij het werken met deze waarde:[" +
                  kvr() + " in de regel:StartGartrip=]\r\n");
    // A read that fails part-way keeps what came before it and the old logger table.
    store("Loggers=a\r\n");
    ClsInstellingen fresh;
    const std::pair<std::string, std::string> failing[] = {
        {"Loggers=b\r\nGartripFile=new\r\n  CheckForGARtrip=32768\r\nStrePlaFile=late\r\n",
         "Technische fout"},
        {"GartripFile=new\r\nLoggers=" + std::string(32767, 'y') + "\r\n", "Technische fout"},
        {"GartripFile=new\r\nStartGartrip=" + std::string(3, '\0'), "Gegevenstype klopt niet"},
        {"GartripFile=new\r\nAutoCheckStrepla=\"1", "Gegevenstype klopt niet"},
    };
    for (const auto& [file, message] : failing) {
        store(file);
        platform.boxes.expect(testing::error_box(message));
        fresh.Inlezen();
        EXPECT_EQ(fresh.instloggers(), (LoggerTable{{}, {"a"}}));
        EXPECT_EQ(fresh.strGartripFile + fresh.strStreplaFile, "new");
    }
}

// Writing fails: the old file stays; the box names the file and the cause.
TEST_F(Settings, FailedWriteLeavesTheOldFile) {
    const std::string failed = "Bij het schrijven is een fout opgetredenBij het schrijven van " +
                               kvr() + "\r\nIs de volgende fout opgetreden";
    store("StrePlaFile=old\r\n");
    ClsInstellingen settings;
    settings.strStreplaFile = "new";
    platform.files.fail_writes(kvr(), 61, 1);
    platform.boxes.expect(testing::error_box(failed + "De schijf is vol"));
    settings.Wegschrijven();
    EXPECT_EQ(stored(), "StrePlaFile=old\r\n");
    EXPECT_THAT(folder.read("error.log"), HasSubstr("uitvoeren van Wegschrijven\r\n"));

    // A folder that refuses the new file: the start values stay.
    std::filesystem::remove(kvr());
    if (!testing::set_immutable(folder.path(), true)) GTEST_SKIP() << "no immutable flag here";
    platform.boxes.expect(testing::error_box(failed + "Geen toegang"));
    platform.boxes.expect(
        testing::error_box("Kan het bestand niet vinden:" + kvr() + " in de regel:"));
    ClsInstellingen fresh;
    testing::set_immutable(folder.path(), false);
    EXPECT_FALSE(folder.exists("tolvane.kvr"));
    EXPECT_EQ(values(fresh), std::make_tuple("", "", "", "", 0, 0, false));
}

#ifndef _WIN32
// Settings name programs that are started: a file or folder that another user may change is
// reported, neither believed nor written; the default values hold.  A sticky shared folder keeps
// others off the user's own file.
TEST_F(Settings, FileOthersMayChangeIsNeitherBelievedNorWritten) {
    using P = std::filesystem::perms;
    const P usual = P::owner_read | P::owner_write | P::group_read | P::others_read;
    // The folder's and the file's permissions, whether nobody owns the file, whether it counts.
    for (auto [dir, file, nobodys, trusted] :
         {std::tuple(P::owner_all, usual | P::others_write, false, false),
          {P::all, usual, false, false},
          {P::owner_all, usual, true, false},
          {P::all | P::sticky_bit, usual, false, true}}) {
        store("StrePlaFile=a.ste\r\nStartGartrip=1\r\n");
        std::filesystem::permissions(kvr(), file);
        std::filesystem::permissions(folder.path(), dir);
        if (nobodys && ::lchown(kvr().c_str(), 65534, 65534) != 0) continue;  // not root
        if (!trusted) platform.boxes.expect(2);  // not read, not written: "Geen toegang"
        ClsInstellingen settings;
        EXPECT_EQ(std::tuple(settings.intAutostart, settings.strStreplaFile),
                  trusted ? std::tuple(1, "a.ste") : std::tuple(2, ""));
        settings.strStreplaFile = "b.ste";
        settings.Wegschrijven();
        EXPECT_EQ(stored().starts_with("StrePlaFile=b.ste"), trusted);
        std::filesystem::permissions(folder.path(), P::owner_all);
        std::filesystem::remove(kvr());
    }
}
#endif

}  // namespace
}  // namespace tlv
