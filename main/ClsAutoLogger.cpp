#include "main/ClsAutoLogger.h"

#include "shared/modDirCheck.h"

namespace tlv {
namespace {

void show(const std::string& text) { port::message_boxes().show(text, "", port::BoxStyle::Ok); }

}  // namespace

bool ClsAutoLogger::setfile(const std::string& strOutputFile, const std::string& strProgramFile) {
    if (!ClsAutoconvert_SetFile(strOutputFile)) {
        show("Het pad " + strOutputFile + " klopt niet.");
        return false;
    }
    if (!DirCheck(strProgramFile)) {
        show("Het pad " + strProgramFile + " klopt niet.");
        return false;
    }
    program_ = strProgramFile;
    return true;
}

void ClsAutoLogger::CheckFile() {
    if (ClsAutoconvert_CheckFile()) StartLogger();
}

// The program gets the export file as its one argument.
void ClsAutoLogger::StartLogger() {
    std::string problem;
    if (!DirCheck(program_)) problem = program_ + "waar het Loggerprogramma moet staan";
    if (!DirCheck(ClsAutoconvert_GetFile())) problem += " waar het exportbestand voor de logger";
    if (!problem.empty()) return show("Het pad " + problem + " klopt niet");
    port::programs().start(program_, {ClsAutoconvert_GetFile()}, port::WindowStyle::MinimizedFocus);
}

}  // namespace tlv
