#include "app/language.h"

#include <QLocale>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

int systemDefaultLcid() {
#ifdef Q_OS_WIN
    return static_cast<int>(GetSystemDefaultLCID());
#else
    const QLocale locale = QLocale::system();
    if (locale.language() == QLocale::Chinese && locale.territory() == QLocale::China &&
        locale.script() != QLocale::TraditionalHanScript) {
        return kLcidChinesePrc;
    }
    if (locale.language() == QLocale::English && locale.territory() == QLocale::UnitedStates) {
        return kLcidEnglishUs;
    }
    return 0;
#endif
}
