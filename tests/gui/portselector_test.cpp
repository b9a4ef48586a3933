#include "windowfixture.h"

#include "gui/portselector.h"

namespace {

QComboBox* selector(WindowFixture& fixture) {
    return fixture.widget<QComboBox>(Ctl::Combo1);
}

TEST(PortSelector, APickTakesThePortUnlessAnotherPortIsOpen) {
    struct Case {
        const char* name;
        bool portOpen;
        const char* picked;
        const char* shown;
        bool told;
    };
    const Case cases[] = {
        {"port closed", false, "/dev/ttyACM0", "/dev/ttyACM0", false},
        {"port closed, simulated device", false, "SIM", "SIM", false},
        {"port open, another port", true, "/dev/ttyACM0", "/dev/ttyUSB0", true},
        {"port open, the same port", true, "/dev/ttyUSB0", "/dev/ttyUSB0", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture fixture;
        ASSERT_EQ(selector(fixture)->currentText(), QStringLiteral("/dev/ttyUSB0"));
        if (c.portOpen) {
            fixture.link.open();
        }
        pickItem(selector(fixture), QString::fromUtf8(c.picked));
        EXPECT_EQ(selector(fixture)->currentText(), QString::fromUtf8(c.shown));
        EXPECT_EQ(fixture.form.text(Ctl::Combo1), QString::fromUtf8(c.shown));
        if (c.told) {
            ASSERT_EQ(fixture.prompter.messages.size(), 2u);  // the start-up message first
            EXPECT_EQ(fixture.prompter.messages[1].text, QStringLiteral("Port is open"));
            EXPECT_EQ(fixture.prompter.messages[1].title, QString());
        } else {
            EXPECT_EQ(fixture.prompter.messages.size(), 1u);
        }
    }
}

// An open port is the one in use and is not probed; the text shown stays.
TEST(PortSelector, EachOpeningListsThePortsPluggedInNowUnlessAPortIsOpen) {
    struct Step {
        const char* name;
        bool portOpen;
        QList<PortInfo> plugged;
        QStringList listed;
    };
    const Step steps[] = {
        {"all unplugged, a port open", true, {}, {"/dev/ttyUSB0", "/dev/ttyACM0", "SIM"}},
        {"all unplugged", false, {}, {"SIM"}},
        {"one plugged in", false, {{"/dev/ttyUSB3", "FT232R"}}, {"/dev/ttyUSB3", "SIM"}},
        {"another plugged in",
         false,
         {{"/dev/ttyACM1", ""}, {"/dev/ttyUSB3", "FT232R"}},
         {"/dev/ttyACM1", "/dev/ttyUSB3", "SIM"}},
        {"the first unplugged", false, {{"/dev/ttyACM1", ""}}, {"/dev/ttyACM1", "SIM"}},
    };
    WindowFixture fixture;
    fixture.form.setText(Ctl::Combo1, QStringLiteral("COM7"));
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        fixture.lister.ports = step.plugged;
        if (step.portOpen != fixture.link.isOpen()) {
            step.portOpen ? fixture.link.open() : fixture.link.close();
        }
        selector(fixture)->showPopup();
        selector(fixture)->hidePopup();
        EXPECT_EQ(itemsOf(selector(fixture)), step.listed);
        EXPECT_EQ(selector(fixture)->currentText(), QStringLiteral("COM7"));
    }
}

// Shows what the drop-down draws for an item.
class ShownText : public PortItemDelegate {
public:
    QString of(const QModelIndex& index) const {
        QStyleOptionViewItem option;
        initStyleOption(&option, index);
        return option.text;
    }
};

TEST(PortSelector, TheListShowsEachPortsDescriptionBesideItsNameAndPicksTheName) {
    WindowFixture fixture;
    ASSERT_NE(qobject_cast<PortItemDelegate*>(selector(fixture)->itemDelegate()), nullptr);
    const QAbstractItemModel* model = selector(fixture)->model();
    EXPECT_EQ(ShownText().of(model->index(0, 0)),
              QStringLiteral("/dev/ttyUSB0  —  CP2102 USB to UART"));
    EXPECT_EQ(ShownText().of(model->index(1, 0)), QStringLiteral("/dev/ttyACM0"));
    fixture.form.setText(Ctl::Combo1, QString());
    pickItem(selector(fixture), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(selector(fixture)->currentText(), QStringLiteral("/dev/ttyUSB0"));
}

}  // namespace
