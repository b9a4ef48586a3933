#pragma once

#include <QString>

#include <array>

// What the device can use in its numeric fields. Each takes the field's text
// as the window holds it.

// An amateur band the device's radio can work in, in MHz, both ends included.
struct Band {
    double lowMHz;
    double highMHz;
};

// The 2 m and 70 cm bands.
inline constexpr std::array kDeviceBands{Band{144.0, 148.0}, Band{430.0, 450.0}};

// The bands as the warnings name them: "144-148, 430-450".
QString bandList();

// A number of MHz, with or without decimals, within one of the bands.
bool isBandFrequency(const QString& text);

// A number from 0 to 15.
bool isSsid(const QString& text);

// A number from 0 to 255.
bool isOctet(const QString& text);

// Digits that all are 0: an interval at which the device would never wait.
bool isZeroInterval(const QString& text);
