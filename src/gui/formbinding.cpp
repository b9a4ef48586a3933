#include "gui/formbinding.h"

#include "app/form.h"
#include "gui/elidedlabel.h"
#include "gui/inputrules.h"
#include "gui/portselector.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextCursor>

#include <memory>

namespace {

// Buttons and frame titles take "&" as a shortcut marker; a caption's "&" is
// meant to be seen.
QString asCaption(const QString& text) {
    QString caption = text;
    return caption.replace(u'&', QStringLiteral("&&"));
}

bool listDiffers(const QComboBox* box, const Form& form, Ctl id) {
    if (box->count() != form.items(id).size()) {
        return true;
    }
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i) != form.items(id)[i] ||
            box->itemData(i, PortItemDelegate::kNoteRole).toString() != form.itemNotes(id)[i]) {
            return true;
        }
    }
    return false;
}

void showList(QComboBox* box, const Form& form, Ctl id) {
    const QSignalBlocker quiet(box);
    box->clear();
    for (int i = 0; i < form.items(id).size(); ++i) {
        box->addItem(form.items(id)[i]);
        box->setItemData(i, form.itemNotes(id)[i], PortItemDelegate::kNoteRole);
    }
    // Filling a list selects its first item; the box keeps the Form's text.
    box->setCurrentIndex(-1);
}

// Where shown, with the first cut characters dropped, is the start of text:
// text grew at its end and lost whole lines at its front, as the status box
// does once it is full. -1 when text is not shown grown that way.
qsizetype grownFrom(const QString& shown, const QString& text) {
    // A line or two makes way for each new one; beyond that, redrawing it
    // all costs less than looking further.
    constexpr int kLinesLooked = 16;
    qsizetype cut = 0;
    for (int line = 0; line < kLinesLooked && cut >= 0; ++line) {
        if (text.startsWith(QStringView(shown).sliced(cut))) {
            return cut;
        }
        const qsizetype lineEnd = shown.indexOf(u'\n', cut);
        cut = lineEnd < 0 ? -1 : lineEnd + 1;
    }
    return -1;
}

// Shows text in a view that shows shown. A chatty device adds a line to a
// full status box many times a second: the view then drops the oldest lines
// and adds the new ones instead of laying out 32 KiB of text anew.
void showText(QPlainTextEdit* view, const QString& shown, const QString& text) {
    const qsizetype cut = grownFrom(shown, text);
    if (cut < 0) {
        view->setPlainText(text);
        return;
    }
    QTextCursor cursor(view->document());
    cursor.beginEditBlock();
    cursor.setPosition(int(cut), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringView(text).sliced(shown.size() - cut).toString());
    cursor.endEditBlock();
}

}  // namespace

QString withMnemonic(const QString& caption, char mnemonic) {
    QString shown = asCaption(caption);
    if (mnemonic == 0) {
        return shown;
    }
    const qsizetype at = shown.indexOf(QLatin1Char(mnemonic), 0, Qt::CaseInsensitive);
    if (at >= 0 && (at == 0 || shown[at - 1] != u'&')) {
        return shown.insert(at, u'&');
    }
    return shown + QStringLiteral("(&") + QLatin1Char(mnemonic) + u')';
}

void showCaption(QAbstractButton* button, const QString& caption, char mnemonic) {
    button->setText(withMnemonic(caption, mnemonic));
    button->setAccessibleName(caption);
}

FormBinding::FormBinding(Form& form, QObject* parent) : QObject(parent), form_(form) {
    connect(&form_, &Form::changed, this, [this](Ctl id) {
        const auto found = shows_.find(id);
        if (found != shows_.end()) {
            found->second();
        }
    });
}

void FormBinding::add(Ctl id, std::function<void()> show) {
    show();
    shows_[id] = std::move(show);
}

void FormBinding::bindWindow(Ctl id, QWidget* window) {
    add(id, [this, id, window] { window->setWindowTitle(form_.text(id)); });
}

void FormBinding::bindLabel(Ctl id, QLabel* label) {
    label->setTextFormat(Qt::PlainText);
    add(id, [this, id, label] {
        label->setText(form_.text(id));
        label->setEnabled(form_.isEnabled(id));
    });
}

void FormBinding::bindElidedLabel(Ctl id, ElidedLabel* label) {
    add(id, [this, id, label] {
        label->setFullText(form_.text(id));
        label->setEnabled(form_.isEnabled(id));
    });
}

void FormBinding::bindFrame(Ctl id, QGroupBox* frame) {
    add(id, [this, id, frame] {
        frame->setTitle(asCaption(form_.text(id)));
        frame->setEnabled(form_.isEnabled(id));
    });
}

void FormBinding::bindButton(Ctl id, QAbstractButton* button, char mnemonic) {
    add(id, [this, id, button, mnemonic] {
        showCaption(button, form_.text(id), mnemonic);
        button->setEnabled(form_.isEnabled(id));
    });
}

void FormBinding::bindCheckBox(Ctl id, QCheckBox* box, char mnemonic) {
    add(id, [this, id, box, mnemonic] {
        showCaption(box, form_.text(id), mnemonic);
        box->setEnabled(form_.isEnabled(id));
        box->setChecked(form_.value(id) != 0);
    });
    // clicked, unlike toggled, comes from the user only.
    connect(box, &QCheckBox::clicked, this,
            [this, id](bool checked) { form_.setValue(id, checked ? 1 : 0); });
}

void FormBinding::bindLineEdit(Ctl id, QLineEdit* edit) {
    add(id, [this, id, edit] {
        QString shown = form_.text(id);
        if (edit->isReadOnly()) {
            // A box of one line shows a line break it is given (the small
            // progress box's "Connection is successful" ends in one) as room
            // that moves its text aside.
            shown.remove(u'\r').remove(u'\n');
        }
        // Rewriting an unchanged text would move the user's cursor.
        if (edit->text() != shown) {
            edit->setText(shown);
        }
        edit->setEnabled(form_.isEnabled(id));
    });
    // Typing, and a screen reader or voice control setting the text, change
    // the box's text; the Form's own changes, shown above, find the box
    // already saying what the Form holds.
    connect(edit, &QLineEdit::textChanged, this, [this, id, edit] {
        if (!edit->isReadOnly() && edit->text() != form_.text(id)) {
            onTyped(id, edit);
        }
    });
}

void FormBinding::onTyped(Ctl id, QLineEdit* edit) {
    const FieldRule rule = fieldRuleFor(id);
    if (!rule.isFree()) {
        const EditState kept =
            conformEdit(form_.text(id), {edit->text(), edit->cursorPosition()}, rule);
        if (kept.text != edit->text()) {
            edit->setText(kept.text);
            edit->setCursorPosition(kept.cursor);
        }
    }
    form_.setText(id, edit->text());
}

void FormBinding::bindComboBox(Ctl id, QComboBox* box) {
    add(id, [this, id, box] {
        if (listDiffers(box, form_, id)) {
            showList(box, form_, id);
        }
        if (box->currentText() != form_.text(id)) {
            box->setEditText(form_.text(id));
        }
        box->setEnabled(form_.isEnabled(id));
    });
    connect(box->lineEdit(), &QLineEdit::textEdited, this,
            [this, id](const QString& text) { form_.setText(id, text); });
}

void FormBinding::bindProgressBar(Ctl id, QProgressBar* bar) {
    add(id, [this, id, bar] {
        bar->setRange(form_.minimum(id), form_.maximum(id));
        bar->setValue(form_.value(id));
        bar->setEnabled(form_.isEnabled(id));
    });
}

void FormBinding::bindTextView(Ctl id, QPlainTextEdit* view) {
    // A read-only view needs no undo history, which would keep every line
    // the box ever showed.
    view->setUndoRedoEnabled(false);
    auto shown = std::make_shared<QString>(view->toPlainText());
    add(id, [this, id, view, shown] {
        // The status box's lines end in CR LF.
        QString text = form_.text(id);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        if (*shown != text) {
            showText(view, *shown, text);
            *shown = std::move(text);
            // The newest line is the one to see.
            view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        }
        view->setEnabled(form_.isEnabled(id));
    });
}

void FormBinding::bindWarning(Ctl id, QWidget* marked) {
    const QPalette plain = marked->palette();
    QPalette warned = plain;
    warned.setColor(QPalette::Base, QColor(0xFF, 0xDD, 0xDD));
    warned.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x00));
    const auto show = [this, id, marked, plain, warned] {
        const QString warning = form_.warning(id);
        marked->setPalette(warning.isEmpty() ? plain : warned);
        marked->setToolTip(warning);
    };
    show();
    connect(&form_, &Form::warningChanged, marked, [id, show](Ctl changed) {
        if (changed == id) {
            show();
        }
    });
}
