// Saves PNG pictures of Tolvex, to look at after changing its window or lamp:
//   tolvex_screenshots OUTPUT_FOLDER
// The window runs on the recording port stand-in, held where the transfer has
// started; the lamp's twelve glyphs (six kinds, on and off) go on one sheet.
#include "comport/ComPortTestSupport.h"
#include "downloader/SerialLamp.h"
#include "downloader/Unit1.h"
#include "gui/DialogAnswers.h"
#include "platform/comm/FakeCommApi.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>

namespace Tolvex {
namespace {

const char kProgram[] =
    "S107B6000102030400\n"
    "S105B61020FE00\n"
    "S124B620404142434445464748494A4B4C4D4E4F505152535455565758595A5B5C5D5E5F6000\n"
    "S9030000FC\n";

bool Report(bool saved, const QString& path) {
    if (saved)
        std::printf("%s\n", qPrintable(path));
    else
        std::fprintf(stderr, "tolvex_screenshots: cannot write %s\n", qPrintable(path));
    return saved;
}

bool SaveLampGlyphs(const QString& folder) {
    const TLedKind kinds[] = {lkRedLight, lkGreenLight, lkBlueLight, lkYellowLight, lkPurpleLight, lkBulb};
    const int scale = 8;
    QImage sheet(6 * 25 * scale, 2 * 25 * scale, QImage::Format_ARGB32);
    sheet.fill(QColor(240, 240, 240));
    QPainter painter(&sheet);
    for (int i = 0; i < 6; ++i) {
        TComLed lamp;
        lamp.SetKind(kinds[i]);
        for (int row = 0; row < 2; ++row) {
            lamp.SetState(row == 0 ? lsOn : lsOff);
            QImage image(25, 25, QImage::Format_ARGB32);
            image.fill(QColor(240, 240, 240));
            lamp.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
            painter.drawImage(QRect(i * 25 * scale, row * 25 * scale, 25 * scale, 25 * scale), image);
        }
    }
    painter.end();
    const QString path = folder + QStringLiteral("/lamp-glyphs.png");
    return Report(sheet.save(path), path);
}

bool SaveWindow(const QString& folder) {
    QTemporaryDir work;
    QFile object(work.filePath(QStringLiteral("TEMP$$.S19")));
    if (!work.isValid() || !object.open(QIODevice::WriteOnly)) return false;
    object.write(kProgram);
    object.close();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());

    gui::TDialogAnswers answers;
    comm::FakeCommApi api;
    for (const char* port : {"COM1", "COM2", "COM3"}) api.AddPort(port);
    api.SetDsrFollowsDtr("COM1", true);
    api.SetTxEmptyAfterWrite("COM1", false);  // hold the transfer where the gauge stands
    bool saved = false;
    {
        TForm1 form(api, {"TEMP$$.S19", "1", "512"});
        form.show();
        form.Timer1Timer();  // the first tick only arms the timer
        form.Timer1Timer();
        PumpUntil([&] { return form.ComLed1->State() == lsOn; });
        const QString path = folder + QStringLiteral("/tolvex-window.png");
        saved = Report(form.grab().save(path), path);
    }
    for (const gui::TShownBox& box : answers.Boxes)
        std::fprintf(stderr, "%s: %s\n", qPrintable(box.Caption), qPrintable(box.Text));
    QDir::setCurrent(previous);
    return saved;
}

}  // namespace
}  // namespace Tolvex

int main(int argc, char** argv) {
    // Pictures need no display: the offscreen platform renders the same widgets.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tolvex_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    const QString output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    if (!QDir().mkpath(output)) {
        std::fprintf(stderr, "tolvex_screenshots: cannot make %s\n", qPrintable(output));
        return 2;
    }
    const bool lamp = Tolvex::SaveLampGlyphs(output);
    const bool window = Tolvex::SaveWindow(output);
    return lamp && window ? 0 : 1;
}
