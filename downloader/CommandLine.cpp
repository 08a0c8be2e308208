#include "downloader/CommandLine.h"

#include "common/ComPortName.h"
#include "common/Framework.h"
#include "common/NumberText.h"

namespace Tolvex {

std::string ParamStr(const TParameters& parameters, int index) {
    if (index < 1 || index > static_cast<int>(parameters.size())) return {};
    return parameters[static_cast<size_t>(index - 1)];
}

int StrToInt(const std::string& text) {
    const std::optional<int> value = TextToInt(text);
    if (!value) throw EConvertError("'" + text + "' is not a valid integer value");
    return *value;
}

std::string DownloaderPortName(int number) { return ComPortName(number == 1 || number == 3 ? number : 2); }

}  // namespace Tolvex
