#pragma once

#include "app/form.h"
#include "protocol/session.h"
#include "serial/seriallink.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "support/scriptedprompter.h"

#include <QTemporaryDir>

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
    struct Control {
        QString text;
        bool enabled;
        int value;
        bool operator==(const Control&) const = default;
    };
    explicit FormSnapshot(const Form& form) {
        for (const ControlDesign& design : kControls) {
            controls.push_back({form.text(design.id), form.isEnabled(design.id), form.value(design.id)});
        }
    }
    // The names of the controls that differ from another snapshot's.
    QStringList differencesFrom(const FormSnapshot& other) const {
        QStringList names;
        for (int i = 0; i < kControlCount; ++i) {
            if (!(controls[i] == other.controls[i])) {
                names << QString::fromLatin1(kControls[i].name);
            }
        }
        return names;
    }
    std::vector<Control> controls;
};
