// A small listing and its object file, as the assembler writes them, for the
// simulator's tests and its screenshot command.
#pragma once

#include <QByteArray>

namespace VantrelSIM {

// Line 12 is stored in Windows-1250 ("Šolski primer: čšž").
inline const QByteArray ListingBytes =
    "0001 0000                      ORG   $0000\r\n"
    "0002 0000 86 05        START   LDAA  #$05\r\n"
    "0003 0002 01                   NOP\r\n"
    "0004 0003 01                   NOP\r\n"
    "0005 0004 4C                   INCA\r\n"
    "0006 0005 20 F9                BRA   START\r\n"
    "0007 0007 0E           IRQT    CLI\r\n"
    "0008 0008 01                   NOP\r\n"
    "0009 0009 86 00                LDAA  #$00\r\n"
    "0010 000B 06                   TAP\r\n"
    "0011 000C 01                   NOP\r\n"
    "0012                   * \x8Aolski primer: \xE8\x9A\x9E\r\n"
    "0013 B600                      ORG   $B600\r\n"
    "0014 B600 01           EE      NOP\r\n"
    "0015 B601 41                   FCB   $41\r\n"
    "0016                           END\r\n";

inline const QByteArray ObjectBytes =
    "S1100000860501014C20F90E018600060161\r\n"
    "S105B600014102\r\n"
    "S9030000FC\r\n";

}  // namespace VantrelSIM
