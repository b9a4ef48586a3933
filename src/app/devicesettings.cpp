#include "app/devicesettings.h"

namespace DeviceSettings {
namespace {

QStringList counted(int first, int last) {
    QStringList items;
    for (int n = first; n <= last; ++n) {
        items << QString::number(n);
    }
    return items;
}

}  // namespace

QStringList addressModeItems() {
    return {QStringLiteral("DHCP"), kStaticIp};
}

QStringList callSsidItems() {
    return counted(0, 15);
}

QStringList serverItems() {
    return {QStringLiteral("china.aprs2.net"), QStringLiteral("euro.aprs2.net"),
            QStringLiteral("noam.aprs2.net"), QStringLiteral("202.141.176.2")};
}

QStringList distanceUnitItems() {
    return {QStringLiteral("km"), QStringLiteral("mi"), QStringLiteral("公里")};
}

QStringList modulationItems() {
    return counted(1, 5);
}

QStringList txPathItems() {
    return {QStringLiteral("None"), QStringLiteral("WIDE1-1"), QStringLiteral("WIDE1-1WIDE2-1"),
            QStringLiteral("WIDE1-1WIDE2-2")};
}

QStringList digiAliasItems() {
    return {QStringLiteral("WIDE1"), QStringLiteral("WIDE2"), QStringLiteral("WIDE1+WIDE2")};
}

QStringList backlightItems() {
    return {QStringLiteral("ON"), QStringLiteral("05"), QStringLiteral("10"), QStringLiteral("20"),
            QStringLiteral("30"), QStringLiteral("60"), QStringLiteral("90")};
}

}  // namespace DeviceSettings
