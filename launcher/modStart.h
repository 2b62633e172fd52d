#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tlv {
class ClsInstellingen;
}

namespace tlv::launcher {

class frmInvullen;

// The kinds of missing path, numbered as the fill-in dialog's rows carry them.
enum MisserKind : int32_t {
    kStreplaProgram = 1,
    kGartripProgram = 2,
    kStreplaExport = 3,
    kGartripText = 4,
    kLoggerProgramFile = 5,
    kLoggerExportFile = 6,
};

// One missing path: its kind, the path the user entered for it, and for a
// logger's file the logger's row.
struct typMisser {
    int32_t intSoort = 0;
    std::string strWaarde;
    int16_t intLogger = 0;
};

// tlvexpress: checks every path that watch mode needs, lets the user fill in
// the missing ones, switches watch mode on in the shared settings file and
// starts StrePla and tolvane.
class modStart {
public:
    modStart();
    ~modStart();

    // Exit codes: 0 started, 1 the user stopped, 2 a start failed (reported).
    static constexpr int kStarted = 0, kStopped = 1, kStartFailed = 2;
    int Main();

    bool chekForMissers(ClsInstellingen& settings);
    int16_t aantMissers(ClsInstellingen& settings);
    int16_t aantMisLoggers(int16_t& count, ClsInstellingen* settings);
    bool PadenGevonden(int16_t count, ClsInstellingen& settings);
    bool Invullen(const typMisser& misser, const std::string& path, ClsInstellingen& settings,
                  int16_t row);
    void Misser(int16_t row, const std::string& label, bool with_filter, const std::string& filter);
    static std::string Omschrijving(const typMisser& misser);

    // Rows 1 to n of the current pass; row 0 is never used.  Grown or shrunk,
    // never cleared: a row keeps the text entered in the previous pass.
    std::vector<typMisser> Missers{1};
    // The fill-in dialog of the current pass, built row by row.
    frmInvullen& form();

private:
    int16_t add_row(int16_t count, int32_t kind, const std::string& label);
    std::unique_ptr<frmInvullen> form_;
    // The check failed (reported) rather than the user stopping: exit code 2, not 1.
    bool check_failed_ = false;
};

}  // namespace tlv::launcher
