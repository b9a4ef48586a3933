#include "settingsfile/devicecompare.h"

#include "protocol/readexchange.h"
#include "protocol/session.h"
#include "settingsfile/settingsfileformat.h"

std::optional<DeviceComparison> compareWithDevice(Session& session) {
    Form& form = session.form();
    const QStringList expected = settingsFileLines(form);
    const SettingsSnapshot window(form);
    readExchange(session);
    if (!session.flags().readEndSeen) {
        // The read has put the window back itself.
        return std::nullopt;
    }
    DeviceComparison comparison{settingDifferences(expected, settingsFileLines(form)),
                                SettingsSnapshot(form)};
    window.restore(form);
    return comparison;
}
