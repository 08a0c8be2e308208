// The simulator's listing loader on any file: the listing window shows a
// line per line of the file, each line's breakpoint key and address read
// from the line it shows, and colouring a line changes no text.
#include "common/TextEncoding.h"
#include "fuzz/FuzzSupport.h"
#include "simulator/ui/Childwin.h"

#include <QApplication>
#include <QColor>

#include <memory>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    // Fonts are found once, on the first window: not in an input's count.
    VantrelSIM::TMDIChild warmUp;
    warmUp.LoadFile(QString::fromStdString(fuzz::WriteScratchFile("warm.LST", "   1 0000 01   NOP\n")), nullptr);
    warmUp.ColourLine(1, Qt::red);
    warmUp.Modified = false;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteScratchFile("TEMP$$.LST", fuzz::AsText(data, size));
    auto child = std::make_unique<VantrelSIM::TMDIChild>();
    QString error;
    fuzz::Check(child->LoadFile(QString::fromStdString(path), &error), "the listing loads", error.toStdString());

    const int lines = child->LineCount();
    fuzz::Check(lines >= 1, "at least one line");
    for (int line = 1; line <= std::min(lines, 200); ++line) {
        const QString text = child->LineText(line);
        fuzz::Check(child->LineKey(line) == VantrelSIM::ListingKey(text), "the key of the line shown",
                    text.toStdString());
        const int address = VantrelSIM::ListingAddress(text);
        if (address >= 0) {
            const auto at = child->LinesAt(static_cast<uint16_t>(address));
            fuzz::Check(std::find(at.begin(), at.end(), line) != at.end(), "the line is found at its address",
                        text.toStdString());
        }
    }
    const QString before = child->LineText(1);
    child->ColourLine(1, Qt::red);
    fuzz::Check(child->LineText(1) == before && child->LineCount() == lines, "colouring changes no text");
    child->Modified = false;
    return 0;
}
