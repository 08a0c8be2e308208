// The simulator's listing line fields on any listing: the breakpoint key,
// the address that matches PC and the address run-from-cursor takes agree,
// and a key is found among breakpoints in either letter case.
#include "common/ListingLine.h"
#include "common/TextEncoding.h"
#include "fuzz/FuzzSupport.h"
#include "simulator/ui/Childwin.h"

#include <QString>
#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Split as the listing window's loading does.
    QString content = QString::fromUtf8(DecodeText(fuzz::AsText(data, size)));
    content.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    content.replace(QChar('\r'), QChar('\n'));
    QStringList breakpoints;
    for (const QString& line : content.split('\n')) {
        const QString key = VantrelSIM::ListingKey(line);
        fuzz::Check(key == line.left(4), "the key is the first four characters");
        const int address = VantrelSIM::ListingAddress(line);
        fuzz::Check(address >= -1 && address <= 0xFFFF, "an address or -1");
        const QByteArray utf8 = line.toUtf8();
        const std::optional<uint16_t> narrow = ListingAddressValue(std::string_view(utf8.constData(), utf8.size()));
        if (narrow) fuzz::Check(address == *narrow || line.size() != utf8.size(), "both widths read one address");
        if (address >= 0)
            fuzz::Check(VantrelSIM::CursorAddress(line) == address, "run from cursor goes to the line's address",
                        std::string_view(utf8.constData(), utf8.size()));
        IsListingErrorLine(std::string_view(utf8.constData(), utf8.size()));
        if (breakpoints.size() >= 64) breakpoints.clear();
        breakpoints << key;
        fuzz::Check(VantrelSIM::IsBreakpointKey(breakpoints, key), "a breakpoint key is found");
        if (utf8.size() == line.size())
            fuzz::Check(VantrelSIM::IsBreakpointKey(breakpoints, key.toLower()) &&
                            VantrelSIM::IsBreakpointKey(breakpoints, key.toUpper()),
                        "a breakpoint key is found in either case");
    }
    return 0;
}
