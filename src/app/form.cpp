#include "app/form.h"

#include "app/devicesettings.h"
#include "serial/trimblanks.h"

namespace {

// The boxes whose text drops surrounding blanks after every change.
bool trimsBlanks(Ctl id) {
    return id == Ctl::Text5 || id == Ctl::Text10 || id == Ctl::Text31;
}

// The newest kStatusBoxLimit characters at most, from the first line start
// among them.
QString newestLines(const QString& text) {
    if (text.size() <= kStatusBoxLimit) {
        return text;
    }
    const QStringView tail = QStringView(text).last(kStatusBoxLimit);
    const qsizetype lineEnd = tail.indexOf(u'\n');
    return (lineEnd < 0 ? tail : tail.sliced(lineEnd + 1)).toString();
}

}  // namespace

Form::Form() : states_(kControls.size()) {
    for (const ControlDesign& design : kControls) {
        state(design.id).text = QString::fromUtf8(design.designText);
    }
    state(Ctl::Command7).enabled = false;
    // An empty address mode is not "STATIC IP": the address boxes open only
    // for that, in a fresh window too.
    followAddressMode();
}

void Form::setText(Ctl id, const QString& text) {
    const QString kept = trimsBlanks(id)     ? trimBlanks(text)
                         : id == Ctl::Text29 ? newestLines(text)
                                             : text;
    if (state(id).text == kept) {
        forgetOrigin(id);  // set again all the same: the user or the program chose it
        return;
    }
    state(id).text = kept;
    state(id).arrivedBytes = QByteArray();
    state(id).note.clear();
    emit changed(id);
    if (id == DeviceSettings::addressMode) {
        followAddressMode();
    }
}

void Form::followAddressMode() {
    const bool isStatic = text(DeviceSettings::addressMode) == DeviceSettings::kStaticIp;
    for (const Ctl box : DeviceSettings::addressBoxes) {
        setEnabled(box, isStatic);
    }
}

void Form::setEnabled(Ctl id, bool enabled) {
    if (state(id).enabled != enabled) {
        state(id).enabled = enabled;
        emit changed(id);
    }
}

void Form::setLocked(Ctl id, bool locked) {
    if (state(id).locked != locked) {
        state(id).locked = locked;
        emit changed(id);
    }
}

void Form::setValue(Ctl id, int value) {
    if (state(id).value == value) {
        forgetOrigin(id);
        return;
    }
    state(id).value = value;
    state(id).note.clear();
    emit changed(id);
}

QByteArray Form::bytes(Ctl id, TextEncoding encoding) const {
    const State& box = state(id);
    return box.arrivedBytes.isNull() ? encodeText(box.text, encoding) : box.arrivedBytes;
}

void Form::setNote(Ctl id, const QString& note) {
    if (state(id).note != note) {
        state(id).note = note;
        emit changed(id);
    }
}

void Form::forgetOrigin(Ctl id) {
    setNote(id, QString());
}

void Form::setRange(Ctl id, int minimum, int maximum) {
    state(id).minimum = minimum;
    state(id).maximum = maximum;
    emit changed(id);
}

void Form::addItem(Ctl id, const QString& item, const QString& note) {
    state(id).items.append(item);
    state(id).notes.append(note);
    emit changed(id);
}

void Form::clearItems(Ctl id) {
    state(id).items.clear();
    state(id).notes.clear();
    emit changed(id);
}

void Form::setWarning(Ctl id, const QString& warning) {
    if (state(id).warning != warning) {
        state(id).warning = warning;
        emit warningChanged(id);
    }
}

void Form::appendStatusLine(const QString& message) {
    appendText(Ctl::Text29, QStringLiteral("\r\n") + message);
}

void Form::appendOwnStatusLine(const QString& message) {
    const QString& status = text(Ctl::Text29);
    if (status.isEmpty() || status.endsWith(u'\n')) {
        appendText(Ctl::Text29, message);
    } else {
        appendStatusLine(message);
    }
}
