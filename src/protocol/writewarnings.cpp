#include "protocol/writewarnings.h"

#include "app/fieldwarnings.h"
#include "app/form.h"
#include "app/prompter.h"
#include "protocol/fieldchecks.h"
#include "protocol/session.h"
#include "protocol/writeexchange.h"
#include "serial/seriallink.h"

#include <QStringList>

namespace {

bool writeWarningsAccepted(Session& session) {
    if (session.link().isOpen() || writeRefusal(session.form())) {
        return true;
    }
    QStringList lines;
    for (const FieldWarning& warning : writeWarnings(session.form())) {
        lines << warning.text;
    }
    if (lines.isEmpty()) {
        return true;
    }
    return session.prompter().confirm(
        session.tr(Msg::WriteWarningsQuestion).arg(lines.join(QStringLiteral("\r\n"))));
}

}  // namespace

void confirmedWriteExchange(Session& session) {
    if (writeWarningsAccepted(session)) {
        writeExchange(session);
    }
}
