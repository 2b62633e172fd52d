#include "main/ClsAutoLogger.h"
#include "main/ClsAutoconvert.h"
#include "tests/support/failure_of.h"
#include "tests/support/fake_platform.h"
#include "tests/support/temp_folder.h"

namespace tlv {
namespace {

using namespace std::chrono_literals;

class Watcher : public testing::InFolder {
protected:
    void SetUp() override { folder.write("export.ste", "x"); }
    std::string path(const char* name = "export.ste") const { return folder.file(name); }
    port::DateTime now() { return platform.clock.now(); }
    // The file written at the clock's current second, plus an offset in seconds.
    void write_at(int offset, const char* name = "export.ste") {
        platform.clock.advance(std::chrono::seconds(offset));
        platform.files.set_modified(path(name), now());
        platform.clock.advance(std::chrono::seconds(-offset));
    }
};

// A write counts once the clock has left its second, whenever the file's time changed, whatever the
// clock did meanwhile (set back, the end of summer time).
TEST_F(Watcher, ReportsEachRewriteOnceAfterItsSecond) {
    ClsAutoconvert watcher;
    write_at(-5);  // written before the watch began: never reported
    ASSERT_TRUE(watcher.setfile(path()));
    EXPECT_EQ(watcher.GetFile(), path());
    EXPECT_FALSE(watcher.CheckFile());
    write_at(0);  // in the second of the watch's start
    EXPECT_FALSE(watcher.CheckFile());
    platform.clock.advance(1s);
    EXPECT_EQ((std::pair{watcher.CheckFile(), watcher.CheckFile()}), std::pair(true, false));
    write_at(1);  // twice between checks, the second one ahead of the clock
    write_at(2);
    EXPECT_EQ((std::pair{watcher.CheckFile(), watcher.CheckFile()}), std::pair(true, false));
    write_at(-60);  // an older copy put in its place
    EXPECT_EQ((std::pair{watcher.CheckFile(), watcher.CheckFile()}), std::pair(true, false));
    platform.clock.advance(-3600s);  // summer time ends: the same hour once more
    write_at(0);
    EXPECT_FALSE(watcher.CheckFile());
    platform.clock.advance(1s);
    EXPECT_EQ((std::pair{watcher.CheckFile(), watcher.CheckFile()}), std::pair(true, false));
    platform.clock.advance(-86400s);  // the clock set back a day
    write_at(-1);
    EXPECT_EQ((std::pair{watcher.CheckFile(), watcher.CheckFile()}), std::pair(true, false));
    platform.clock.advance(5s);
    write_at(-6);  // touched, its time as it was: no rewrite
    EXPECT_FALSE(watcher.CheckFile());
    // Absent (a save by delete and create): no change for 10 seconds, then 53.
    platform.files.set_modified(path(), std::nullopt);
    platform.clock.advance(9s);
    EXPECT_FALSE(watcher.CheckFile());
    platform.clock.advance(9s);
    EXPECT_FALSE(watcher.CheckFile());
    platform.clock.advance(1s);
    EXPECT_EQ(testing::failure_of([&] { watcher.CheckFile(); }), 53);
}

// Registration of a path that is no file: the watcher shows it and keeps
// nothing; a logger shows each missing path of its two.
TEST_F(Watcher, PathThatIsNoFileIsOnlyShown) {
    folder.write("logger.exe", "MZ");
    ClsAutoconvert watcher;
    ClsAutoLogger missing_export, missing_program, good;
    platform.boxes.expect({"Het pad " + path("weg.ste") + "klopt niet.", "", port::BoxStyle::Ok});
    platform.boxes.expect();  // the folder
    platform.boxes.expect("Het pad " + path("weg.igc") + "klopt niet.");
    platform.boxes.expect("Het pad " + path("weg.igc") + " klopt niet.");
    platform.boxes.expect("Het pad " + path("weg.exe") + " klopt niet.");
    EXPECT_FALSE(watcher.setfile(path("weg.ste")));
    EXPECT_FALSE(watcher.setfile(folder.path()));
    EXPECT_EQ(watcher.GetFile(), "");
    EXPECT_FALSE(missing_export.setfile(path("weg.igc"), path("logger.exe")));
    EXPECT_FALSE(missing_program.setfile(path(), path("weg.exe")));
    EXPECT_TRUE(good.setfile(path(), path("logger.exe")));
}

}  // namespace
}  // namespace tlv
