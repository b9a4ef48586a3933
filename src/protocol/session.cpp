#include "protocol/session.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "serial/clock.h"
#include "serial/seriallink.h"
#include "serial/serialsettingsstore.h"

#include <algorithm>

bool& AckFlags::operator[](AckFlag flag) {
    switch (flag) {
        case AckFlag::Connect:
            return connectSeen;
        case AckFlag::ReadEnd:
            return readEndSeen;
        case AckFlag::FreqSave:
            return freqSaveSeen;
        case AckFlag::WifiWrite:
            return wifiWriteSeen;
        case AckFlag::EeramReset:
            break;
    }
    return eeramResetSeen;
}

Session::Session(Form& form, SerialLink& link, Clock& clock, Prompter& prompter,
                 const SerialSettingsStore& store)
    : form_(form),
      link_(link),
      clock_(clock),
      prompter_(prompter),
      store_(store),
      receivePath_([this](const QByteArray& line) { onReplyLine(line); }),
      lastReceiveMs_(clock.nowMs()) {
    link_.setReceiver([this](const QByteArray& bytes) {
        const quint32 now = clock_.nowMs();
        quietBeforeLastReceiveMs_ = now - lastReceiveMs_;
        lastReceiveMs_ = now;
        receivePath_.receive(bytes);
        if (afterReceive_) {
            afterReceive_();
        }
    });
    link_.setLossHandler([this](const QString& reason) { onPortLost(reason); });
}

QString Session::tr(Msg id) const {
    return text(id, form_.language());
}

bool Session::applyReply(QStringView line, TextEncoding arrivedAs) {
    return applyEffects(parseReply(line), arrivedAs, {});
}

void Session::keepArrivedBytes(const ReplyEffect& effect, TextEncoding arrivedAs,
                               const QList<ReplyEffect>& asBytes) {
    // A box whose change rule changed the text (blanks dropped) no longer
    // holds what arrived.
    if (form_.text(effect.control) != effect.text) {
        return;
    }
    const auto cut = std::find_if(asBytes.begin(), asBytes.end(), [&effect](const ReplyEffect& e) {
        return e.kind == ReplyEffect::Kind::SetText && e.control == effect.control;
    });
    if (cut == asBytes.end()) {
        // Valid text gives back exactly its bytes in its own encoding.
        form_.setArrivedBytes(effect.control, encodeText(effect.text, arrivedAs));
        return;
    }
    const QByteArray bytes = cut->text.toLatin1();
    form_.setArrivedBytes(effect.control, bytes);
    if (!decodeText(bytes).valid) {
        const QString label = form_.text(DeviceSettings::labelOf(effect.control));
        form_.setNote(effect.control, tr(Msg::FieldNotText).arg(label));
    }
}

bool Session::applyEffects(const ParseOutcome& outcome, TextEncoding arrivedAs,
                           const QList<ReplyEffect>& asBytes) {
    for (const ReplyEffect& effect : outcome.effects) {
        switch (effect.kind) {
            case ReplyEffect::Kind::SetText:
                form_.setText(effect.control, effect.text);
                form_.setEncoding(effect.control, arrivedAs);
                replied_.insert(effect.control);
                keepArrivedBytes(effect, arrivedAs, asBytes);
                break;
            case ReplyEffect::Kind::SetCheck:
                form_.setValue(effect.control, effect.value);
                replied_.insert(effect.control);
                break;
            case ReplyEffect::Kind::RaiseFlag:
                flags_[effect.flag] = true;
                break;
            case ReplyEffect::Kind::AppendStatusLine:
                form_.appendStatusLine(effect.text);
                break;
            case ReplyEffect::Kind::DisableAddressBoxes:
                for (const Ctl box : DeviceSettings::addressBoxes) {
                    form_.setEnabled(box, false);
                }
                break;
        }
    }
    return !outcome.cutFailed;
}

void Session::onReplyLine(const QByteArray& line) {
    // A cut that fails on a half-received line abandons only this call; the
    // next byte starts afresh.
    const QByteArrayView reply = withoutLeadingNoise(line);
    if (!startsWithKeyword(reply)) {
        return;
    }
    const DecodedText decoded = decodeText(reply);
    // Bytes that are text in neither encoding show as replacement
    // characters. Each box keeps the bytes its text was cut from: the line's
    // bytes, one character each, cut at the same places, since every keyword
    // is ASCII and no byte of a multi-byte character is a separator ("," or
    // "-") in either encoding.
    const QList<ReplyEffect> asBytes =
        decoded.valid ? QList<ReplyEffect>() : parseReply(QString::fromLatin1(reply)).effects;
    applyEffects(parseReply(decoded.text), decoded.encoding, asBytes);
}

void Session::onPortLost(const QString& reason) {
    // The link has closed itself; the running operation finds the port closed
    // at its next step and ends through its own failure path.
    portLostText_ = tr(Msg::PortLost).arg(reason);
    // On a line of its own: the failure text the operation appends next
    // ("Write fail，Please try again.") does not start a line itself.
    form_.appendStatusLine(portLostText_ + QStringLiteral("\r\n"));
    if (afterLoss_) {
        afterLoss_();
    }
}

void Session::waitOnPort(int ms, const std::function<bool()>& answered) {
    clock_.delayUntil(ms, [this, &answered] { return portLost() || (answered && answered()); });
}

void Session::openPort() {
    link_.setPortName(form_.text(Ctl::Combo1));
    portLostText_.clear();
    link_.open();
    // A reply line does not go on across a new opening of the port. Without
    // this, the first line after a settings-file load (which leaves its last
    // line here) would be read as the end of that line, and a write's "freq
    // save" would go unseen.
    receivePath_.setReplyLine({});
}

void Session::storePort() {
    const QString port = form_.text(Ctl::Combo1);
    store_.writeCommSet(port);
    if (afterPortStored_) {
        afterPortStored_(port);
    }
}

QString Session::portFailureText(const QString& headline, const SerialError& error) const {
    QString message = headline;
    if (!error.reason().isEmpty()) {
        message += u'\n' + error.reason();
    }
    // "The port is not open" alone would hide that the adapter went away.
    if (error.kind() == SerialError::Kind::NotOpen && !portLostText_.isEmpty()) {
        message += u'\n' + portLostText_;
    }
#ifdef Q_OS_LINUX
    if (error.kind() == SerialError::Kind::PermissionDenied) {
        message += u'\n' + tr(Msg::PermissionHint);
    }
#endif
    return message;
}
