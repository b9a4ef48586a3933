#include "windowfixture.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

struct Caption {
    Ctl control;
    const char* english;
    const char* chinese;
};

// The captions in both interfaces; the Chinese one replaces all but a few.
// They are checked in the Form, which every widget mirrors (formbinding_test).
const Caption kCaptions[] = {
    {Ctl::Label3, "KV120 APRS Config", "KORVA系列配置软件"},
    {Ctl::Label4, "Callsign", "呼号"},
    {Ctl::Label1, "Pass", "密码"},
    {Ctl::Label6, "Posi+Comment", "坐标和信息"},
    {Ctl::Label11, "Status", "状态信息"},
    {Ctl::Label7, "Server", "服务器"},
    {Ctl::Label8, "Tx time", "发送间隔"},
    {Ctl::Label10, "Filter", "信息过滤"},
    {Ctl::Label5, "DHCP", "网络地址"},
    {Ctl::Label18, "Backlight", "背光时间"},
    {Ctl::Label19, "Unit", "距离"},
    {Ctl::Label16, "Tx/Rx", "频率"},
    {Ctl::Check1, "DIGI", "中继功能"},
    {Ctl::Label25, "Path", "发射路径"},
    {Ctl::Label24, "TX vol", "调制度"},
    {Ctl::Label26, "Alias", "转发路径"},
    {Ctl::Frame5, "Setup", "设置"},
    {Ctl::Frame4, "RF RADIO", "电台设置"},
    {Ctl::Frame6, "WIFI user/password", "WIFI设置"},
    {Ctl::Label23, "ssid", "名字"},
    {Ctl::Label20, "pass", "密码"},
    {Ctl::Command8, "Apply", "应用"},
    {Ctl::Command0, "Default", "默认数据"},
    {Ctl::Command6, "Read data", "读取数据"},
    {Ctl::Command7, "Write data", "写入数据"},
    {Ctl::Command4, "Load file", "载入数据"},
    {Ctl::Command5, "Save file", "保存数据"},
    {Ctl::Command1, "Open ROM", "打开升级文件"},
    {Ctl::Command2, "update", "开始升级"},
    {Ctl::Command9, "restart", "重启"},
    {Ctl::Label22, "If change setup then please restart ", "如果修改了数据,重启后生效."},
    {Ctl::Form1, "Lumeno KV120 aprs config", "Lumeno KV120 aprs config"},
    {Ctl::Label12, "IP", "IP"},
    {Ctl::Label13, "Mask", "Mask"},
    {Ctl::Label14, "Gate", "Gate"},
    {Ctl::Label15, "DNS", "DNS"},
    {Ctl::Label17, "MHz", "MHz"},
    {Ctl::Label21, "CTCSS", "CTCSS"},
    {Ctl::Label9, "-", "-"},
    {Ctl::Frame3, "Vers", "Vers"},
};

TEST(WindowStartup, LocaleChoosesTheMessageAndTheCaptions) {
    struct Case {
        int lcid;
        const char* message;  // nullptr: no message box
        bool chinese;
    };
    const Case cases[] = {
        {1033, "当前系统为：英文", false},
        {2052, "当前系统为：中文简体", true},
        {2057, nullptr, false},
        {1028, nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lcid);
        WindowFixture fixture(Machine{.lcid = c.lcid, .storedPort = {}});
        if (c.message == nullptr) {
            EXPECT_TRUE(fixture.prompter.messages.empty());
        } else {
            ASSERT_EQ(fixture.prompter.messages.size(), 1u);
            EXPECT_EQ(fixture.prompter.messages[0].text, QString::fromUtf8(c.message));
            EXPECT_EQ(fixture.prompter.messages[0].title, QStringLiteral("语言"));
        }
        for (const Caption& caption : kCaptions) {
            EXPECT_EQ(fixture.form.text(caption.control),
                      QString::fromUtf8(c.chinese ? caption.chinese : caption.english))
                << nameOf(caption.control).toStdString();
        }
    }
}

TEST(WindowStartup, ThePortSelectorOffersTheStoredOrTheFirstOpenablePort) {
    const PortInfo usb{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("CP2102")};
    const PortInfo acm{QStringLiteral("/dev/ttyACM0"), QString()};
    struct Case {
        const char* name;
        QString storedPort;
        QList<PortInfo> ports;
        QString shown;
        QStringList listed;
    };
    const Case cases[] = {
        {"stored port present",
         "/dev/ttyACM0",
         {usb, acm},
         "/dev/ttyACM0",
         {"/dev/ttyUSB0", "/dev/ttyACM0", "SIM"}},
        {"stored port gone", "COM12", {usb}, "COM12", {"/dev/ttyUSB0", "SIM"}},
        {"nothing stored", "", {usb, acm}, "/dev/ttyUSB0", {"/dev/ttyUSB0", "/dev/ttyACM0", "SIM"}},
        {"no openable port", "", {}, "", {"SIM"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture fixture(Machine{.ports = c.ports, .storedPort = c.storedPort});
        auto* selector = fixture.widget<QComboBox>(Ctl::Combo1);
        EXPECT_EQ(selector->currentText(), c.shown);
        EXPECT_EQ(itemsOf(selector), c.listed);
    }
}

TEST(WindowStartup, FieldsStartEmptyWithTheirListsAndPlaceholders) {
    WindowFixture fixture;
    for (const Ctl box : {Ctl::Combo2, Ctl::Combo3, Ctl::Combo4, Ctl::Combo5, Ctl::Combo6,
                          Ctl::Combo7, Ctl::Combo8, Ctl::Combo16}) {
        auto* combo = fixture.widget<QComboBox>(box);
        EXPECT_EQ(combo->currentText(), QString()) << nameOf(box).toStdString();
        EXPECT_EQ(combo->currentIndex(), -1) << nameOf(box).toStdString();
        EXPECT_GT(combo->count(), 1) << nameOf(box).toStdString();
        EXPECT_TRUE(combo->isEditable()) << nameOf(box).toStdString();
    }
    EXPECT_EQ(itemsOf(fixture.widget<QComboBox>(Ctl::Combo2)), (QStringList{"DHCP", "STATIC IP"}));
    EXPECT_EQ(itemsOf(fixture.widget<QComboBox>(Ctl::Combo16)),
              (QStringList{"ON", "05", "10", "20", "30", "60", "90"}));
    auto* ctcss = fixture.widget<QLineEdit>(Ctl::Text32);
    EXPECT_EQ(ctcss->text(), QStringLiteral("---"));
    EXPECT_FALSE(ctcss->isEnabled());
    EXPECT_FALSE(fixture.widget(Ctl::Label21)->isEnabled());
    EXPECT_FALSE(fixture.widget(Ctl::Command7)->isEnabled());
    EXPECT_EQ(fixture.shown(Ctl::Text6), QStringLiteral("KV120 "));
    EXPECT_FALSE(fixture.widget<QCheckBox>(Ctl::Check1)->isChecked());
}

}  // namespace
