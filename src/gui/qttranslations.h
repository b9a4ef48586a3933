#pragma once

#include "app/language.h"

class QObject;

// Qt's own texts (Yes, No, OK, Cancel, the file dialogs) in the interface
// language, as the dialogs of a Chinese desktop show them. The translations
// come from the system's Qt (Debian: qt6-translations-l10n); where they are
// missing, Qt's texts stay English and the program works all the same.
// True when a translation was installed; it lives as long as owner.
bool installQtTranslations(Language language, QObject* owner);
