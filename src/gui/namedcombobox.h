#pragma once

class QAccessibleInterface;
class QObject;
class QString;

// What a screen reader is told of a combo box. On Linux Qt names a combo
// box by the text it holds and leaves its name to the label beside it, so a
// box without a label of its own (the SSID, the port selector) was named
// "10" or "SIM". With this factory installed (QAccessible::installFactory),
// every combo box is named as other widgets are, by its accessible name or
// its label, and tells what it holds as its value.
QAccessibleInterface* namedComboBoxAccessible(const QString& className, QObject* object);
