#pragma once

#include "app/texts.h"
#include "protocol/replyparser.h"
#include "serial/receivepath.h"
#include "serial/textencoding.h"

#include <QSet>
#include <QStringList>

#include <functional>

class Clock;
class Form;
class Prompter;
class SerialLink;
class SerialError;
class SerialSettingsStore;

// The acknowledgement flags. The reply parser only raises them; the exchange
// that waits for one clears it itself and tests it after each wait.
struct AckFlags {
    bool connectSeen = false;
    bool readEndSeen = false;
    bool freqSaveSeen = false;
    bool wifiWriteSeen = false;
    bool eeramResetSeen = false;

    bool& operator[](AckFlag flag);
};

// The program a session serves: what a port failure advises doing differs.
enum class FrontEnd { Window, CommandLine };

// What the exchanges share: the window's state, the port, the clock, the
// prompter, the receive path with its reply line and trace, and the flags.
// Received bytes flow link -> receive path -> reply parser -> form and flags.
class Session {
public:
    Session(Form& form, SerialLink& link, Clock& clock, Prompter& prompter,
            const SerialSettingsStore& store);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Form& form() { return form_; }
    SerialLink& link() { return link_; }
    Clock& clock() { return clock_; }
    Prompter& prompter() { return prompter_; }
    const SerialSettingsStore& store() const { return store_; }
    AckFlags& flags() { return flags_; }
    ReceivePath& receivePath() { return receivePath_; }

    // A text in the window's language.
    QString tr(Msg id) const;

    void setFrontEnd(FrontEnd frontEnd) { frontEnd_ = frontEnd; }

    // Where the settings the device sends go: the window's Form, or, while a
    // comparison reads the device, a Form of its own (nullptr: the window's
    // again). The status box, the buttons and the flags stay the window's.
    Form& settingsForm() { return settingsForm_ != nullptr ? *settingsForm_ : form_; }
    void setSettingsForm(Form* form) { settingsForm_ = form; }

    // Applies one reply line, as received or as read from a settings file,
    // in the encoding it arrived in: each box it fills keeps the bytes its
    // text arrived as. False when a cut failed; the effects before the
    // failure stay.
    bool applyReply(QStringView line, TextEncoding arrivedAs = TextEncoding::Utf8);

    // The controls a reply line has set since forgetReplies(): which setting
    // lines a read brought.
    const QSet<Ctl>& repliedControls() const { return replied_; }
    void forgetReplies() { replied_.clear(); }

    // When the last bytes arrived, and for how long the line had been quiet
    // before them (since the session began, when they were the first).
    quint32 lastReceiveMs() const { return lastReceiveMs_; }
    quint32 quietBeforeLastReceiveMs() const { return quietBeforeLastReceiveMs_; }

    // Runs after every batch of received bytes has gone through the receive
    // path: the firmware update answers the loader's requests from there.
    void setAfterReceive(std::function<void()> action) { afterReceive_ = std::move(action); }
    // Runs once the status box has told that the open port went away.
    void setAfterLoss(std::function<void()> action) { afterLoss_ = std::move(action); }
    // Runs once the port has been stored as the one to offer next time: the
    // window keeps the adapter's identity beside it.
    void setAfterPortStored(std::function<void(const QString&)> action) {
        afterPortStored_ = std::move(action);
    }

    // Opens the port the port selector shows, starting a fresh reply line.
    // Throws SerialError.
    void openPort();
    // Stores the port the port selector shows in the serial settings store.
    void storePort();
    // A wait of an exchange whose port is open, ended early by answered() as
    // Clock::delayUntil is, and at once when the port closes: it went away,
    // or a click cancelled the exchange. Throws SerialError(NotOpen) then.
    void waitOnPort(int ms, const std::function<bool()>& answered = {});
    // The port went away since it was last opened (the status box has said so).
    bool portLost() const { return portLost_; }
    // The device has sent something since the port was last opened.
    bool deviceAnswered() const { return deviceAnswered_; }

    // A headline ("Port is open or no") and, on the lines after it, what is
    // wrong with the port, named, and what to do about it.
    QString portFailureText(const QString& headline, const SerialError& error) const;
    // A device that sent nothing: the port named, what to check, the programs
    // that share the port when they are known, and what to do.
    QString silentDeviceText() const;

private:
    QString port() const;
    // Where to name another port: the window's port list, or kv120ctl's --port.
    QString portAdvice() const;
    // Sentences of one message, as the window's language writes them.
    QString sentences(const QStringList& parts) const;
    void onReplyLine(const QByteArray& line);
    // asBytes: the same line's effects cut from its bytes, one character
    // each, when the line is not text in any encoding; else empty.
    bool applyEffects(const ParseOutcome& outcome, TextEncoding arrivedAs,
                      const QList<ReplyEffect>& asBytes);
    void keepArrivedBytes(const ReplyEffect& effect, TextEncoding arrivedAs,
                          const QList<ReplyEffect>& asBytes);
    // The open port went away (an adapter unplugged): the status box says so
    // once; the operation that finds the port closed ends there.
    void onPortLost();

    Form& form_;
    SerialLink& link_;
    Clock& clock_;
    Prompter& prompter_;
    const SerialSettingsStore& store_;
    AckFlags flags_;
    ReceivePath receivePath_;
    std::function<void()> afterReceive_;
    std::function<void()> afterLoss_;
    std::function<void(const QString&)> afterPortStored_;
    FrontEnd frontEnd_ = FrontEnd::Window;
    Form* settingsForm_ = nullptr;
    bool portLost_ = false;
    bool deviceAnswered_ = false;
    QSet<Ctl> replied_;
    quint32 lastReceiveMs_;
    quint32 quietBeforeLastReceiveMs_ = 0;
};
