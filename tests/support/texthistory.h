#pragma once

#include "app/form.h"

#include <QObject>
#include <QStringList>

// Every text a control has shown, in order, from the moment it is made.
class TextHistory {
public:
    TextHistory(Form& form, Ctl control) {
        QObject::connect(&form, &Form::changed, &context_, [this, &form, control](Ctl id) {
            if (id == control && (texts.isEmpty() || texts.last() != form.text(control))) {
                texts.append(form.text(control));
            }
        });
    }
    QStringList texts;

private:
    QObject context_;
};
