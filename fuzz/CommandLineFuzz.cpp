// Tolvex's command line on any words: the port and the capacity are numbers
// or an EConvertError naming the word; the port name is one of COM1..COM3.
#include "common/Framework.h"
#include "downloader/CommandLine.h"
#include "fuzz/FuzzSupport.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Words as a program receives them: no NUL inside.
    Tolvex::TParameters parameters;
    std::string_view text = fuzz::AsText(data, size);
    while (!text.empty() && parameters.size() < 8) {
        const size_t end = text.find('\0');
        parameters.emplace_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }

    fuzz::Check(Tolvex::ParamStr(parameters, 0).empty() && Tolvex::ParamStr(parameters, 9).empty(),
                "a missing parameter reads as empty");
    for (int index = 2; index <= 3; ++index) {
        const std::string word = Tolvex::ParamStr(parameters, index);
        try {
            const int value = Tolvex::StrToInt(word);
            const std::string name = Tolvex::DownloaderPortName(value);
            fuzz::Check(name == "COM1" || name == "COM2" || name == "COM3", "a port of COM1..COM3", name);
            fuzz::Check(Tolvex::StrToInt(std::to_string(value)) == value, "a number reads back", word);
        } catch (const EConvertError& error) {
            fuzz::Check(std::string(error.what()) == "'" + word + "' is not a valid integer value",
                        "the error names the word", error.what());
        }
    }
    return 0;
}
