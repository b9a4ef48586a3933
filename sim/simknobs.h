#pragma once

#include <QByteArray>

// The faults a simulated device can be told to show. Every knob can be changed
// at any time; the device reads it when it next acts.
struct SimKnobs {
    int answerDelayMs = 20;            // from a complete command to the first byte of its answer
    bool silent = false;               // sends nothing at all, configuration or loader
    bool noConnect = false;            // never answers "SETUP#" with "CONNECT"
    bool noReadEnd = false;            // sends the setting lines but never "READ END"
    bool noFreqSave = false;           // never confirms the frequency with "freq save"
    bool noWifiAck = false;            // never answers "WIFI Write success"
    bool noEeramReset = false;         // never answers "eeram reset"
    QByteArray garbage{};              // sent before every answer line, when not empty
    QByteArray ignoreCommand{};        // a setting command ("COMMENT") taken in but neither
                                       // stored nor answered; empty: none
    int bytesPerSecond = 0;            // line rate in both directions; 0: no limit
    qint64 disconnectAfterBytes = -1;  // goes away after receiving this many bytes; -1: never
    int settingLines = -1;             // answers "AT+READ#" with only the first n setting
                                       // lines before "READ END"; -1: all of them
    QByteArray chatterLine{};          // the running firmware sends this line unasked ...
    int chatterEveryMs = 0;            // ... this often; 0: never (read when the device starts)

    // The loader, which listens after "REBOOT#".
    int loaderListenMs = 3000;        // how long it listens for the probe before booting
    int loaderIdleMs = 3000;          // a transfer with no byte from the host for this long is
                                      // given up; 0: never, the loader waits for ever
    int answerProbeFrom = 1;          // answers the n-th probe and later ones; 0: never
    int askAgainEvery = 0;            // every n-th block request is 0x55; 0: never
    int stallAfterBlock = -1;         // stops asking once this many blocks are stored; -1: never
    int corruptChecksumOfBlock = -1;  // takes this block's first checksum as wrong; -1: never
    bool imageNotTaken = false;       // after the last block the image does not take: the
                                      // loader listens for a probe again instead of booting
    int readyAfterBlock = -1;         // once this many blocks are stored, answers E5 instead of
                                      // asking for the next block, again every second; -1: never
    int repeatAfterBlock = -1;        // once this many blocks are stored, asks only with 0x55;
                                      // -1: never
};

// 115200 baud, 8N1: ten bits on the wire for every byte.
inline constexpr int kLineRate115200 = 11520;
