#pragma once

#include "app/controls.h"
#include "app/language.h"
#include "serial/textencoding.h"

#include <QObject>
#include <QStringList>

#include <vector>

// The window's state as plain data: every control's text (or caption),
// enabled state, value (check state, progress) and list. Everything that acts
// on the window acts here; the widgets only mirror it, so the exchanges run
// and are tested without a screen.
// The status box keeps only its newest text, cut at a line start: a device
// that chatters for days, or a huge settings file, would otherwise fill memory
// and make every redraw of the box slower than the last.
inline constexpr qsizetype kStatusBoxLimit = 32 * 1024;

class Form : public QObject {
    Q_OBJECT
public:
    Form();

    QString text(Ctl id) const { return state(id).text; }
    // Applies the change rule of the passcode, send interval and frequency
    // boxes (blanks at both ends removed) to every text, typed or set, and
    // the status box's length limit. The sixteen address boxes follow the
    // address mode, however it was set: on for exactly "STATIC IP", off for
    // anything else.
    void setText(Ctl id, const QString& text);
    void appendText(Ctl id, const QString& more) { setText(id, text(id) + more); }

    // The encoding the box's text came in from the device or a file; it stays
    // with the box while the text is edited, and goes with it to the device
    // and into a saved file. UTF-8 until text arrives otherwise.
    TextEncoding encoding(Ctl id) const { return state(id).encoding; }
    void setEncoding(Ctl id, TextEncoding encoding) { state(id).encoding = encoding; }

    // The bytes the box's text arrived as from the device or a file, kept
    // until the text changes: a text the device sent that is not valid in
    // any encoding (shown with replacement characters) goes back as it came.
    QByteArray arrivedBytes(Ctl id) const { return state(id).arrivedBytes; }
    void setArrivedBytes(Ctl id, const QByteArray& bytes) { state(id).arrivedBytes = bytes; }
    // The box's text as bytes: those it arrived as while it is unchanged,
    // else the text in the encoding given.
    QByteArray bytes(Ctl id, TextEncoding encoding) const;

    // A note on where the box's text came from (a setting the file loaded
    // last did not hold, bytes the device sent that are no text), shown as
    // the box's warning until the box is set again, by the user or the
    // program. Empty: none.
    QString note(Ctl id) const { return state(id).note; }
    void setNote(Ctl id, const QString& note);

    // Enabled as the control's own rules left it, and not locked.
    bool isEnabled(Ctl id) const { return state(id).enabled && !state(id).locked; }
    // Enabled as the control's own rules left it, whether locked or not.
    bool isEnabledByItsRules(Ctl id) const { return state(id).enabled; }
    void setEnabled(Ctl id, bool enabled);
    // A lock disables the control on top of its own rules, which go on
    // setting its enabled state underneath: a firmware update locks whatever
    // would disturb it, and each control is as its rules left it afterwards.
    void setLocked(Ctl id, bool locked);

    // The check box's state (0 cleared, 1 ticked) or the progress bar's value.
    int value(Ctl id) const { return state(id).value; }
    void setValue(Ctl id, int value);

    int minimum(Ctl id) const { return state(id).minimum; }
    int maximum(Ctl id) const { return state(id).maximum; }
    void setRange(Ctl id, int minimum, int maximum);

    // A combo box's list, and beside each item an optional note (the port
    // selector shows each port's description there).
    const QStringList& items(Ctl id) const { return state(id).items; }
    const QStringList& itemNotes(Ctl id) const { return state(id).notes; }
    void addItem(Ctl id, const QString& item, const QString& note = {});
    void clearItems(Ctl id);

    int maxLength(Ctl id) const { return designOf(id).maxLength; }

    // A warning shown beside the control (empty: none). Warnings only inform:
    // nothing that is sent or saved depends on them.
    QString warning(Ctl id) const { return state(id).warning; }
    void setWarning(Ctl id, const QString& warning);

    Language language() const { return language_; }
    void setLanguage(Language language) { language_ = language; }
    bool isChinese() const { return language_ == Language::Chinese; }

    // The status box (Text29): a result line is appended as CR LF plus the message.
    void appendStatusLine(const QString& message);
    // Puts the message at the status box's end on a line of its own, whether
    // or not the box's text ends with a line break.
    void appendOwnStatusLine(const QString& message);
    void setStatus(const QString& text) { setText(Ctl::Text29, text); }

signals:
    void changed(Ctl id);
    void warningChanged(Ctl id);

private:
    void followAddressMode();
    // The box is set anew: what was noted about its text no longer holds.
    void forgetOrigin(Ctl id);

    struct State {
        QString text;
        bool enabled = true;
        bool locked = false;
        int value = 0;
        int minimum = 0;
        int maximum = 100;
        QStringList items;
        QStringList notes;
        QString warning;
        TextEncoding encoding = TextEncoding::Utf8;
        QByteArray arrivedBytes;  // null: the text did not arrive, or has changed since
        QString note;
    };
    const State& state(Ctl id) const { return states_[static_cast<size_t>(id)]; }
    State& state(Ctl id) { return states_[static_cast<size_t>(id)]; }

    std::vector<State> states_;
    Language language_ = Language::Unset;
};
