#pragma once

#include <QByteArray>
#include <QList>

class Form;

// One command of the write exchange and the pause that follows it. The
// device stores each value as it comes and answers nothing per command, so
// the pauses are all the pacing there is.
struct WriteStep {
    QByteArray command;
    int pauseMs = 0;
};

// Every setting of the window as the write exchange sends it, in the order the
// device expects, ending with the frequency command (after which the device
// confirms with "freq save"). The four address commands go out only in static
// mode, and the device needs 400 ms after the last of them; the alias command
// is followed at once by the frequency command.
QList<WriteStep> writeSequence(const Form& form);
