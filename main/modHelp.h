#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The help file: contents, index, or a topic by context number.  A help
// window name, when given, is appended as ">name".  A viewer that cannot run
// is reported under "modHelp" with a box; what the viewer makes of a missing
// file or topic is left to it.
namespace tlv::modHelp {

inline constexpr int32_t kTopicWerkenVanuitSysteemvak = 3050;
inline constexpr int32_t kTopicOpties = 3060;  // the options dialog

void SetHelpFile(std::string path);  // the program's help file
const std::string& HelpFile();

void ShowHelpContents(std::string_view strHelpWindow = {});
void ShowHelpIndex(std::string_view strHelpWindow = {});
void ShowHelpTopic(int32_t lngContextID, std::string_view strHelpWindow = {});

}  // namespace tlv::modHelp
