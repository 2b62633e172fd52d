// tolvane: converts a StrePla exchange file into a GARtrip text file.
//   tolvane [exchange-file [text-file]]

#include <vector>

#include "main/modStart.h"
#include "shared/ClsError.h"
#include "shared/codec.h"
#include "shared/failure.h"

int main(int argc, char** argv) {
    // Arguments arrive split and in UTF-8; inside, text is Windows-1252.
    std::vector<std::string> arguments(1);
    for (int i = 1; i < argc && i <= 2; ++i) {
        std::optional<std::string> argument = tlv::codec::from_utf8(argv[i]);
        if (!argument) {
            // A name without a Windows-1252 form cannot be handled faithfully: refuse it.
            tlv::ClsError().error("ModStart", tlv::err::kInvalidFileName, "Main",
                                  "(opstartargument " + std::to_string(i) + ")", true);
            return tlv::modStart::kExitStartFailed;
        }
        arguments.push_back(std::move(*argument));
    }
    return tlv::modStart::Main(arguments);
}
