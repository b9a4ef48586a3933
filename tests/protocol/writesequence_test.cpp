#include "protocol/writesequence.h"

#include "app/defaults.h"
#include "app/devicesettings.h"
#include "app/form.h"
#include "support/printers.h"

#include <gtest/gtest.h>

// Found by GoogleTest through the argument's namespace.
void PrintTo(const WriteStep& step, std::ostream* out) {
    PrintTo(step.command, out);
    *out << " then " << step.pauseMs << " ms";
}

namespace {

namespace ds = DeviceSettings;

const QList<WriteStep> kBeforeAddresses{
    {"AT+CALL,NOCALL-10#\r\n", 200},
    {"AT+PASS,40663#\r\n", 200},
};

const QList<WriteStep> kAfterAddresses{
    {"AT+POSI,!3035.00N/11417.00ErPHG1010#\r\n", 200},
    {"AT+COMMENT,KORVA 144.640MHz#\r\n", 200},
    {"AT+SERVER,china.aprs2.net#\r\n", 200},
    {"AT+TIME,0600#\r\n", 200},
    {"AT+FILTER,b/KORVA#\r\n", 200},
    {"AT+BACKLIGHT,00#\r\n", 200},
    {"AT+UNIT,1#\r\n", 200},
    {"AT+DIGI,1#\r\n", 200},
    {"AT+MOD,3#\r\n", 200},
    {"AT+PATH,1#\r\n", 200},
    {"AT+ALIAS,3#\r\n", 0},
    {"\r\nAT+FREQ,144.6400#\r\n", 200},
};

TEST(WriteSequence, DhcpSendsNoAddressCommand) {
    Form form;
    fillDefaults(form);
    const QList<WriteStep> expected =
        kBeforeAddresses + QList<WriteStep>{{"AT+DHCP,1#\r\n", 200}} + kAfterAddresses;
    EXPECT_EQ(writeSequence(form), expected);
}

TEST(WriteSequence, StaticModeSendsTheFourAddressesAndWaitsLongerAfterTheLast) {
    Form form;
    fillDefaults(form);
    form.setText(ds::addressMode, ds::kStaticIp);
    const QList<WriteStep> expected = kBeforeAddresses +
                                      QList<WriteStep>{
                                          {"AT+DHCP,0#\r\n", 200},
                                          {"AT+IP,192,168,1,99#\r\n", 200},
                                          {"AT+SUB,255,255,255,0#\r\n", 200},
                                          {"AT+GW,192,168,1,1#\r\n", 200},
                                          {"AT+DNS,8,8,8,8#\r\n", 400},
                                      } +
                                      kAfterAddresses;
    EXPECT_EQ(writeSequence(form), expected);
}

TEST(WriteSequence, EmptyFieldsGoOutAsEmptyArgumentsAndCodedFieldsFallBack) {
    // The window as a read that got no answer leaves it: texts empty, combo
    // boxes holding one blank, the digipeater off.
    Form form;
    for (const Ctl box : {ds::callsign, ds::passcode, ds::position, ds::comment, ds::sendInterval,
                          ds::filter, ds::modulation, ds::frequency, ds::txPath, ds::digiAlias}) {
        form.setText(box, QString());
    }
    for (const Ctl combo :
         {ds::addressMode, ds::server, ds::distanceUnit, ds::callSsid, ds::backlight}) {
        form.setText(combo, QStringLiteral(" "));
    }
    const QList<QByteArray> expected{
        "AT+CALL,      - #\r\n", "AT+PASS,#\r\n",    "AT+DHCP,1#\r\n",    "AT+POSI,#\r\n",
        "AT+COMMENT,#\r\n",      "AT+SERVER, #\r\n", "AT+TIME,#\r\n",     "AT+FILTER,#\r\n",
        "AT+BACKLIGHT, #\r\n",   "AT+UNIT,2#\r\n",   "AT+DIGI,0#\r\n",    "AT+MOD,#\r\n",
        "AT+PATH,1#\r\n",        "AT+ALIAS,3#\r\n",  "\r\nAT+FREQ,#\r\n",
    };
    QList<QByteArray> sent;
    for (const WriteStep& step : writeSequence(form)) {
        sent << step.command;
    }
    EXPECT_EQ(sent, expected);
}

}  // namespace
