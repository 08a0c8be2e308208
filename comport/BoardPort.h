// The line to the 68HC11 board as Vantrel and Tolvex set up their ComPort1:
// 1200 baud 8N1 on COM2 until a port is chosen, DTR and RTS left to the
// program, no hardware flow control, two bytes of input queue, reads that
// return at once and writes that give up after a second plus 100 ms a byte.
#pragma once

#include "comport/SerialPort.h"

// What the program does on the line.
enum class TBoardPortUse {
    // Vantrel's bootstrap downloads: DSR and received bytes are watched, and
    // whole programs are written at once.
    Bootstrap,
    // Tolvex's record stream: one byte in flight, each sent at its
    // transmit-empty event, paced by the board's XON/XOFF.
    RecordStream,
};

// Sets the properties of a closed port; it is not opened here.
void ConfigureBoardPort(TComPort& port, TBoardPortUse use);
