// The status box shows the Form's text whichever way it changed: replaced,
// grown at its end, or grown while its oldest lines made way.
#include "app/form.h"
#include "gui/formbinding.h"

#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <functional>

namespace {

QString shownAs(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

TEST(StatusView, ShowsTheFormsTextAfterEveryKindOfChange) {
    const QString fullLine = QString(999, u'x') + QStringLiteral("\r\n");
    const struct {
        const char* name;
        std::function<void(Form&)> change;
    } steps[] = {
        {"a first line", [](Form& f) { f.setStatus(QStringLiteral("Port is open\r\n")); }},
        {"a line appended", [](Form& f) { f.appendStatusLine(QStringLiteral("read ok")); }},
        {"replaced", [](Form& f) { f.setStatus(QStringLiteral("Reading 1/20Times......")); }},
        {"filled past the limit",
         [&](Form& f) {
             for (int i = 0; i < 40; ++i) {
                 f.appendText(Ctl::Text29, QString::number(i) + fullLine);
             }
         }},
        {"one more line on a full box",
         [](Form& f) { f.appendStatusLine(QStringLiteral("CONNECT")); }},
        {"many short lines on a full box",
         [](Form& f) {
             for (int i = 0; i < 5000; ++i) {
                 f.appendStatusLine(QStringLiteral("READ END ") + QString::number(i));
             }
         }},
        {"a line longer than the box", [](Form& f) { f.appendStatusLine(QString(40'000, u'y')); }},
        {"emptied", [](Form& f) { f.setStatus(QString()); }},
    };
    Form form;
    QPlainTextEdit view;
    FormBinding binding(form);
    binding.bindTextView(Ctl::Text29, &view);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.change(form);
        EXPECT_EQ(view.toPlainText(), shownAs(form.text(Ctl::Text29)));
    }
}

}  // namespace
