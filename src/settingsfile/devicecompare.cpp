#include "settingsfile/devicecompare.h"

#include "app/form.h"
#include "protocol/session.h"
#include "settingsfile/settingsfileformat.h"

namespace {

// The device's settings go into a Form while the read runs, whatever ends it.
class SettingsGoInto {
public:
    SettingsGoInto(Session& session, Form& form) : session_(session) {
        session_.setSettingsForm(&form);
    }
    ~SettingsGoInto() { session_.setSettingsForm(nullptr); }
    SettingsGoInto(const SettingsGoInto&) = delete;
    SettingsGoInto& operator=(const SettingsGoInto&) = delete;

private:
    Session& session_;
};

}  // namespace

std::optional<DeviceComparison> compareWithDevice(Session& session, const ReadPurpose& purpose) {
    const QStringList expected = settingsFileLines(session.form());
    Form device;
    device.setLanguage(session.form().language());
    {
        const SettingsGoInto into(session, device);
        readExchange(session, purpose);
    }
    if (!session.flags().readEndSeen) {
        return std::nullopt;
    }
    return DeviceComparison{settingDifferences(expected, settingsFileLines(device)),
                            SettingsSnapshot(device)};
}

bool verifyWrite(Session& session) {
    Form& window = session.form();
    QString head = window.text(Ctl::Text29);
    if (!head.isEmpty() && !head.endsWith(u'\n')) {
        head += QStringLiteral("\r\n");
    }
    head += session.tr(Msg::VerifyReading) + QStringLiteral("\r\n");
    const std::optional<DeviceComparison> comparison =
        compareWithDevice(session, {head, Msg::VerifyCancelled});
    if (!comparison) {
        return false;
    }
    for (const SettingDifference& difference : comparison->differences) {
        window.appendStatusLine(session.tr(Msg::VerifyDifference)
                                    .arg(difference.name, difference.expected, difference.actual));
    }
    const bool verified = comparison->differences.empty();
    window.appendStatusLine(
        verified ? session.tr(Msg::VerifyMatch)
                 : session.tr(Msg::VerifyFailed).arg(comparison->differences.size()));
    return verified;
}
