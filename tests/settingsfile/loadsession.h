#pragma once

#include "app/form.h"
#include "protocol/session.h"
#include "serial/seriallink.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"
#include "support/testfiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// A port that is never there: the settings file never touches the device, so
// a load that tried to would fail loudly.
class AbsentLink : public SerialLink {
public:
    void setPortName(const QString& name) override { name_ = name; }
    QString portName() const override { return name_; }
    void open() override {
        throw SerialError(SerialError::Kind::NotFound, QStringLiteral("absent"));
    }
    void close() override {}
    bool isOpen() const override { return false; }
    void write(const QByteArray&) override {
        throw SerialError(SerialError::Kind::NotOpen, QStringLiteral("absent"));
    }

private:
    QString name_;
};

// A window with everything a settings-file load needs, and a temporary folder
// for its files.
struct LoadSession {
    QTemporaryDir dir;
    Form form;
    AbsentLink link;
    VirtualClock clock;
    ScriptedPrompter prompter;
    SerialSettingsStore store{dir.filePath(QStringLiteral("RUVAdev.ini"))};
    Session session{form, link, clock, prompter, store};

    QString path(const QString& name) const { return dir.filePath(name); }
};

// Every control's text, enabled state and value, to show what a load changed.
struct FormSnapshot {
    explicit FormSnapshot(const Form& form) : form_(form) {
        for (const ControlDesign& design : kControls) {
            controls_.push_back(
                {form.text(design.id), form.isEnabled(design.id), form.value(design.id)});
        }
    }
    // What changed in the Form since the snapshot, one entry per control:
    // "Text31=145.8250", "Command7 enabled".
    QStringList changes() const {
        QStringList changed;
        for (int i = 0; i < kControlCount; ++i) {
            const Ctl id = kControls[i].id;
            QString change;
            if (form_.text(id) != controls_[i].text) {
                change += u'=' + form_.text(id);
            }
            if (form_.isEnabled(id) != controls_[i].enabled) {
                change += form_.isEnabled(id) ? u" enabled" : u" disabled";
            }
            if (form_.value(id) != controls_[i].value) {
                change += QStringLiteral(" value %1").arg(form_.value(id));
            }
            if (!change.isEmpty()) {
                changed << QString::fromLatin1(kControls[i].name) + change;
            }
        }
        return changed;
    }

private:
    struct Control {
        QString text;
        bool enabled;
        int value;
    };
    const Form& form_;
    std::vector<Control> controls_;
};
