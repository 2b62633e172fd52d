#include "main/modHelp.h"

#include "shared/ClsError.h"
#include "shared/failure.h"
#include "shared/platform/port.h"

namespace tlv::modHelp {
namespace {

std::string& help_file() {
    static std::string path;
    return path;
}

void open(std::string_view plaats, std::string_view window, port::HelpCommand command,
          int32_t data) {
    try {
        std::string path = HelpFile();
        if (!window.empty()) path += ">" + std::string(window);
        port::help().show(path, command, data);
    } catch (...) {
        ClsError().error("modHelp", current_failure_number(), plaats, "", true);
    }
}

}  // namespace

void SetHelpFile(std::string path) { help_file() = std::move(path); }
const std::string& HelpFile() { return help_file(); }

void ShowHelpContents(std::string_view strHelpWindow) {
    open("ShowHelpContents", strHelpWindow, port::HelpCommand::Contents, 0);
}

void ShowHelpIndex(std::string_view strHelpWindow) {
    open("ShowHelpIndex", strHelpWindow, port::HelpCommand::Index, 0);
}

void ShowHelpTopic(int32_t lngContextID, std::string_view strHelpWindow) {
    open("ShowHelpTopic", strHelpWindow, port::HelpCommand::Topic, lngContextID);
}

}  // namespace tlv::modHelp
