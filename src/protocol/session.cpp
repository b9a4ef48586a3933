#include "protocol/session.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "serial/clock.h"
#include "serial/seriallink.h"
#include "serial/serialsettingsstore.h"

#include <algorithm>

#include <QStringList>

namespace {

QString listed(const QList<PortUser>& users, Language language) {
    QStringList programs;
    for (const PortUser& user : users) {
        programs << text(Msg::ProgramAndProcess, language).arg(user.program).arg(user.pid);
    }
    return programs.join(QStringLiteral(", "));
}

}  // namespace

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
        deviceAnswered_ = true;
        const quint32 now = clock_.nowMs();
        quietBeforeLastReceiveMs_ = now - lastReceiveMs_;
        lastReceiveMs_ = now;
        receivePath_.receive(bytes);
        if (afterReceive_) {
            afterReceive_();
        }
    });
    link_.setLossHandler([this] { onPortLost(); });
}

QString Session::tr(Msg id) const {
    return text(id, form_.language());
}

bool Session::applyReply(QStringView line, TextEncoding arrivedAs) {
    return applyEffects(parseReply(line), arrivedAs, {});
}

void Session::keepArrivedBytes(const ReplyEffect& effect, TextEncoding arrivedAs,
                               const QList<ReplyEffect>& asBytes) {
    Form& into = settingsForm();
    // A box whose change rule changed the text (blanks dropped) no longer
    // holds what arrived.
    if (into.text(effect.control) != effect.text) {
        return;
    }
    const auto cut = std::find_if(asBytes.begin(), asBytes.end(), [&effect](const ReplyEffect& e) {
        return e.kind == ReplyEffect::Kind::SetText && e.control == effect.control;
    });
    if (cut == asBytes.end()) {
        // Valid text gives back exactly its bytes in its own encoding.
        into.setArrivedBytes(effect.control, encodeText(effect.text, arrivedAs));
        return;
    }
    const QByteArray bytes = cut->text.toLatin1();
    into.setArrivedBytes(effect.control, bytes);
    if (!decodeText(bytes).valid) {
        // Named by the window's label, in the window's language.
        const QString label = form_.text(DeviceSettings::labelOf(effect.control));
        into.setNote(effect.control, tr(Msg::FieldNotText).arg(label));
    }
}

bool Session::applyEffects(const ParseOutcome& outcome, TextEncoding arrivedAs,
                           const QList<ReplyEffect>& asBytes) {
    for (const ReplyEffect& effect : outcome.effects) {
        switch (effect.kind) {
            case ReplyEffect::Kind::SetText:
                settingsForm().setText(effect.control, effect.text);
                settingsForm().setEncoding(effect.control, arrivedAs);
                replied_.insert(effect.control);
                keepArrivedBytes(effect, arrivedAs, asBytes);
                break;
            case ReplyEffect::Kind::SetCheck:
                settingsForm().setValue(effect.control, effect.value);
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
                    settingsForm().setEnabled(box, false);
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

void Session::onPortLost() {
    // The link has closed itself; the running operation finds the port
    // closed when its wait ends, and ends there.
    portLost_ = true;
    form_.appendOwnStatusLine(sentences({tr(Msg::PortLost).arg(port()), portAdvice()}));
    if (afterLoss_) {
        afterLoss_();
    }
}

void Session::waitOnPort(int ms, const std::function<bool()>& answered) {
    clock_.delayUntil(ms,
                      [this, &answered] { return !link_.isOpen() || (answered && answered()); });
    if (!link_.isOpen()) {
        throw SerialError(SerialError::Kind::NotOpen);
    }
}

void Session::openPort() {
    link_.setPortName(port());
    portLost_ = false;
    deviceAnswered_ = false;
    link_.open();
    // A reply line does not go on across a new opening of the port. Without
    // this, the first line after a settings-file load (which leaves its last
    // line here) would be read as the end of that line, and a write's "freq
    // save" would go unseen.
    receivePath_.setReplyLine({});
}

void Session::storePort() {
    const QString name = port();
    store_.writeCommSet(name);
    if (afterPortStored_) {
        afterPortStored_(name);
    }
}

QString Session::port() const {
    return form_.text(Ctl::Combo1);
}

QString Session::portAdvice() const {
    return tr(frontEnd_ == FrontEnd::Window ? Msg::PortAdviceWindow : Msg::PortAdviceCommandLine);
}

QString Session::portFailureText(const QString& headline, const SerialError& error) const {
    using Kind = SerialError::Kind;
    const QString name = port();
    QString reason;
    QString advice = portAdvice();
    switch (error.kind()) {
        case Kind::NotFound:
            reason = tr(Msg::PortNotFound).arg(name);
            break;
        case Kind::NotASerialPort:
            reason = tr(Msg::PortNotSerial).arg(name);
            break;
        case Kind::Busy:
            reason = error.users().isEmpty()
                         ? tr(Msg::PortBusy).arg(name)
                         : tr(Msg::PortBusyBy).arg(name, listed(error.users(), form_.language()));
            advice = tr(Msg::PortBusyAdvice);
            break;
        case Kind::PermissionDenied:
            reason = tr(Msg::PortNoPermission).arg(name);
            advice.clear();
            break;
        case Kind::NotOpen:
            if (!portLost()) {
                // Closed by a click that cancelled the operation: nothing to do about it.
                reason = tr(Msg::PortClosed).arg(name);
                advice.clear();
            } else {
                reason = tr(Msg::PortLost).arg(name);
            }
            break;
        case Kind::IsOpen:
            reason = tr(Msg::PortBusyHere).arg(name);
            advice.clear();
            break;
        case Kind::WriteFailed:
        case Kind::Other:
            reason = tr(Msg::PortFailed).arg(name, error.systemWords());
            break;
    }
    QString message = headline + u'\n' + reason;
    if (!advice.isEmpty()) {
        message += u'\n' + advice;
    }
    return message;
}

QString Session::silentDeviceText() const {
    QStringList message{tr(Msg::DeviceSilent).arg(port())};
    const QList<PortUser> users = link_.otherUsers();
    if (!users.isEmpty()) {
        message << tr(Msg::PortShared).arg(port(), listed(users, form_.language()));
    }
    return sentences(message << portAdvice());
}

QString Session::sentences(const QStringList& parts) const {
    // Chinese sentences follow each other without a blank.
    return parts.join(form_.isChinese() ? QString() : QStringLiteral(" "));
}
