#pragma once

#include <QString>

// One cell of the fault matrix: an operation started from its button, a
// fault put in at its moment, and what the window and the port show after.
enum class Op { Read, Write, Wifi, Restart, UpdateStart, LoaderWait, Transfer };
enum class Fault {
    PortMissing,
    PortBusy,
    Silent,
    Disconnect,
    Garbage,
    Flood,
    LateAck,
    SecondClick,
    OtherButtons,
    WindowClosed,
};
enum class Outcome { Completed, Reported, Cancelled };

struct CellResult {
    bool finishedInTime = false;  // within the bound, with no wait left running
    bool userTold = false;        // a message box, or the status box or progress line changed
    bool portClosed = false;
    bool buttonsUsable = false;   // enabled, with their idle captions
    bool followUpWorked = false;  // a read (or, from the loader, an update) afterwards succeeds
    bool filesIntact = false;     // the saved settings file and the loaded image unchanged
    Outcome outcome = Outcome::Reported;
    QString told;     // the last thing the user was told
    QString buttons;  // the buttons' captions and states, when not usable
};

CellResult runCell(Op op, Fault fault);

QString cellName(Op op, Fault fault);
// One row of the table in docs/RELIABILITY.md.
QString reportLine(Op op, Fault fault, const CellResult& result);
