#include "app/startup.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "app/prompter.h"
#include "app/texts.h"
#include "serial/portlister.h"
#include "serial/serialsettingsstore.h"

#include <algorithm>

namespace {

void chooseLanguage(Form& form, int lcid, Prompter& prompter) {
    const Language language = languageForLcid(lcid);
    form.setLanguage(language);
    // Both messages are in Chinese, whichever language they announce.
    const QString title = text(Msg::LanguageTitle, language);
    if (language == Language::English) {
        prompter.message(text(Msg::SystemIsEnglish, language), title);
    } else if (language == Language::Chinese) {
        prompter.message(text(Msg::SystemIsChinese, language), title);
        for (const auto& [control, caption] : chineseCaptions()) {
            form.setText(control, caption);
        }
    }
}

void fillFixedLists(Form& form) {
    namespace ds = DeviceSettings;
    const std::pair<Ctl, QStringList> lists[] = {
        {ds::addressMode, ds::addressModeItems()}, {ds::callSsid, ds::callSsidItems()},
        {ds::server, ds::serverItems()},           {ds::distanceUnit, ds::distanceUnitItems()},
        {ds::modulation, ds::modulationItems()},   {ds::txPath, ds::txPathItems()},
        {ds::digiAlias, ds::digiAliasItems()},     {ds::backlight, ds::backlightItems()},
    };
    for (const auto& [control, items] : lists) {
        for (const QString& item : items) {
            form.addItem(control, item);
        }
    }
}

// The remembered port, where its adapter is now. With none, the first port
// with an adapter behind it, else the first port found, rather than a port
// the user never chose; the simulated device (last) is never taken unasked.
QString portToOffer(const StartupPlatform& platform, const QList<PortInfo>& offered) {
    const QString remembered =
        portOfAdapter(platform.store.portName(), platform.adapter, platform.ports.presentPorts());
    if (!remembered.isEmpty() || offered.size() < 2) {
        return remembered;
    }
    const auto adapter = std::find_if(offered.begin(), offered.end() - 1, isAdapterPort);
    return adapter == offered.end() - 1 ? offered.first().name : adapter->name;
}

}  // namespace

void runStartup(Form& form, const StartupPlatform& platform) {
    chooseLanguage(form, platform.lcid, platform.prompter);
    form.setText(Ctl::Label2, text(Msg::SupportNotice, form.language()));
    const QList<PortInfo> offered =
        offeredPorts(platform.ports, text(Msg::SimulatedDeviceNote, form.language()));
    for (const PortInfo& port : offered) {
        form.addItem(Ctl::Combo1, port.name, port.description);
    }
    form.setText(Ctl::Combo1, portToOffer(platform, offered));
    fillFixedLists(form);
    form.setEnabled(Ctl::Text32, false);
    form.setEnabled(Ctl::Label21, false);
    form.setText(Ctl::Text32, QStringLiteral("---"));
}
