// The messages more than one program shows, and the kinds of box they stand
// in. Qt-free, so the programs' window-free logic names them too; the
// captions and icons of the kinds are the windows' (gui/Dialogs.h).
#pragma once

// A box's kind gives its caption ("NAPAKA!", "OPOZORILO!", "Obvestilo") and icon.
enum class TBoxKind { Error, Warning, Information };

// A file that cannot be read.
inline constexpr char FileOpenErrorText[] = "Napaka pri odpiranju datoteke!";
// A write the board held back past the write timeout: sending on would put
// every later byte in the wrong place.
inline constexpr char BoardStoppedText[] = "Ploščica se ne odziva: prenos je prekinjen!";
