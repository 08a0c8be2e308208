// What the simulator's tool windows share: their window kind, their face,
// leaving the main window's window list, and the conversion error display.
#pragma once

#include <QChar>
#include <QFont>
#include <QString>
#include <Qt>

// A separate window above the main window; `minimise` adds that button.
Qt::WindowFlags ToolWindowFlags(bool minimise);
// The small sans face of the tool windows' grids.
QFont ToolWindowFont();
// The hex grids' key filter: a hex digit of either case, or '\b' for Backspace.
bool IsHexKey(QChar key);
// On close: the caption leaves OpenWindowList and the window menu.
void ForgetToolWindow(const QString& caption);
// A bad hex text met by a refresh or a write-back: the run stops first, so
// that the run timer cannot open a second box behind this one.
void ShowConversionError(QWidget* parent);
