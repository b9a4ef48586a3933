#include "windowfixture.h"

#include <QGroupBox>

namespace {

// The controls kept outside the visible area: the Form holds them, the
// window shows nothing of them.
bool isHidden(Ctl id) {
    return id == Ctl::Text2 || id == Ctl::Text9 || id == Ctl::Text30 || id == Ctl::Command3;
}

// The frame a control stands in; Form1 for the window itself.
Ctl containerOf(Ctl id) {
    switch (id) {
        case Ctl::Frame1:
        case Ctl::Text3:
        case Ctl::Label2:
            return Ctl::Form1;
        case Ctl::Label5:
        case Ctl::Combo2:
        case Ctl::Label12:
        case Ctl::Label13:
        case Ctl::Label14:
        case Ctl::Label15:
        case Ctl::Text13:
        case Ctl::Text14:
        case Ctl::Text15:
        case Ctl::Text16:
        case Ctl::Text17:
        case Ctl::Text18:
        case Ctl::Text19:
        case Ctl::Text20:
        case Ctl::Text21:
        case Ctl::Text22:
        case Ctl::Text23:
        case Ctl::Text24:
        case Ctl::Text25:
        case Ctl::Text26:
        case Ctl::Text27:
        case Ctl::Text28:
            return Ctl::Frame2;
        case Ctl::Text6:
            return Ctl::Frame3;
        case Ctl::Label16:
        case Ctl::Text31:
        case Ctl::Label17:
        case Ctl::Label21:
        case Ctl::Text32:
        case Ctl::Check1:
        case Ctl::Label24:
        case Ctl::Combo6:
        case Ctl::Label25:
        case Ctl::Combo7:
        case Ctl::Label26:
        case Ctl::Combo8:
            return Ctl::Frame4;
        case Ctl::Label18:
        case Ctl::Combo16:
        case Ctl::Label19:
        case Ctl::Combo4:
            return Ctl::Frame5;
        case Ctl::Label23:
        case Ctl::Text34:
        case Ctl::Label20:
        case Ctl::Text33:
        case Ctl::Command8:
            return Ctl::Frame6;
        default:
            return Ctl::Frame1;
    }
}

QString nearestFrame(const QWidget* widget) {
    for (const QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
        if (qobject_cast<const QGroupBox*>(up) != nullptr || up->isWindow()) {
            return up->objectName();
        }
    }
    return {};
}

TEST(WindowLayout, EveryVisibleControlHasOneWidgetOfItsNameInItsFrame) {
    WindowFixture fixture;
    EXPECT_EQ(fixture.window->objectName(), QStringLiteral("Form1"));
    for (const ControlDesign& design : kControls) {
        if (design.id == Ctl::Form1) {
            continue;
        }
        const QList<QWidget*> found = fixture.window->findChildren<QWidget*>(nameOf(design.id));
        if (isHidden(design.id)) {
            EXPECT_TRUE(found.isEmpty()) << design.name;
            continue;
        }
        ASSERT_EQ(found.size(), 1) << design.name;
        EXPECT_TRUE(found[0]->isVisibleTo(fixture.window)) << design.name;
        EXPECT_EQ(nearestFrame(found[0]), nameOf(containerOf(design.id))) << design.name;
    }
}

}  // namespace
