#include "app/startup.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "app/prompter.h"
#include "app/texts.h"
#include "serial/portlister.h"
#include "serial/serialsettingsstore.h"

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

}  // namespace

void fillPortList(Form& form, const PortLister& ports) {
    form.clearItems(Ctl::Combo1);
    for (const PortInfo& port :
         offeredPorts(ports, text(Msg::SimulatedDeviceNote, form.language()))) {
        form.addItem(Ctl::Combo1, port.name, port.description);
    }
}

void runStartup(Form& form, const StartupPlatform& platform) {
    chooseLanguage(form, platform.lcid, platform.prompter);
    form.setText(Ctl::Label2, text(Msg::SupportNotice, form.language()));
    form.setText(Ctl::Combo1, platform.store.portName());
    fillPortList(form, platform.ports);
    // With no remembered port, offer the first port found rather than a port
    // the user never chose; the simulated device is never taken unasked.
    if (form.text(Ctl::Combo1).isEmpty() && form.items(Ctl::Combo1).size() > 1) {
        form.setText(Ctl::Combo1, form.items(Ctl::Combo1).first());
    }
    fillFixedLists(form);
    form.setEnabled(Ctl::Text32, false);
    form.setEnabled(Ctl::Label21, false);
    form.setText(Ctl::Text32, QStringLiteral("---"));
}
