#include "simulator/ui/ToolWindow.h"

#include "simulator/ui/Childwin.h"  // Main.h holds a QPointer to the listing window
#include "simulator/ui/Main.h"
#include "simulator/ui/UiDialogs.h"
#include "simulator/ui/UnitCPUreg.h"

Qt::WindowFlags ToolWindowFlags(bool minimise) {
    Qt::WindowFlags flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (minimise) flags |= Qt::WindowMinimizeButtonHint;
    return flags;
}

QFont ToolWindowFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return font;
}

bool IsHexKey(QChar key) { return key == QChar('\b') || HexToInt(QStringView(&key, 1)).has_value(); }

void ForgetToolWindow(const QString& caption) {
    if (!MainForm) return;
    MainForm->OpenWindowList.removeOne(caption);
    MainForm->UpdateWindowMenu();
}

void ShowConversionError(QWidget* parent) {
    if (MainForm) MainForm->StopRun();
    ShowApplicationError(parent, QString::fromUtf8(HexErrorText));
}
