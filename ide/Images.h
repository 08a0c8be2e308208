// The pictures of our own: tool-bar icons the style has none for, and the
// programmer's image in status panel 7.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace Vantrel {

QIcon ScissorsIcon();
QIcon CopyIcon();
QIcon PasteIcon();
QIcon PrinterIcon();
QIcon WindowsIcon(bool cascade);

// A small board with its cable: green when the programmer was found, grey
// and crossed out when not.
QPixmap ProgrammerImage(bool found);

}  // namespace Vantrel
