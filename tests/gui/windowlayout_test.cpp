#include "windowfixture.h"

#include <QGroupBox>

#include <algorithm>

namespace {

// The controls kept outside the visible area: the Form holds them, the
// window shows nothing of them.
const Ctl kHidden[] = {Ctl::Text2, Ctl::Text9, Ctl::Text30, Ctl::Command3};

// The frames and the controls each holds; every other control stands in Frame1.
const std::pair<Ctl, std::vector<Ctl>> kFrames[] = {
    {Ctl::Form1, {Ctl::Frame1, Ctl::Text3, Ctl::Label2}},
    {Ctl::Frame2, {Ctl::Label5, Ctl::Combo2, Ctl::Label12, Ctl::Label13, Ctl::Label14, Ctl::Label15,
                   Ctl::Text13, Ctl::Text14, Ctl::Text15,  Ctl::Text16,  Ctl::Text17,  Ctl::Text18,
                   Ctl::Text19, Ctl::Text20, Ctl::Text21,  Ctl::Text22,  Ctl::Text23,  Ctl::Text24,
                   Ctl::Text25, Ctl::Text26, Ctl::Text27,  Ctl::Text28}},
    {Ctl::Frame3, {Ctl::Text6}},
    {Ctl::Frame4,
     {Ctl::Label16, Ctl::Text31, Ctl::Label17, Ctl::Label21, Ctl::Text32, Ctl::Check1, Ctl::Label24,
      Ctl::Combo6, Ctl::Label25, Ctl::Combo7, Ctl::Label26, Ctl::Combo8}},
    {Ctl::Frame5, {Ctl::Label18, Ctl::Combo16, Ctl::Label19, Ctl::Combo4}},
    {Ctl::Frame6, {Ctl::Label23, Ctl::Text34, Ctl::Label20, Ctl::Text33, Ctl::Command8}},
};

Ctl containerOf(Ctl id) {
    for (const auto& [frame, members] : kFrames) {
        if (std::ranges::find(members, id) != members.end()) {
            return frame;
        }
    }
    return Ctl::Frame1;
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
        if (std::ranges::find(kHidden, design.id) != std::end(kHidden)) {
            EXPECT_TRUE(found.isEmpty()) << design.name;
            continue;
        }
        ASSERT_EQ(found.size(), 1) << design.name;
        EXPECT_TRUE(found[0]->isVisibleTo(fixture.window)) << design.name;
        EXPECT_EQ(nearestFrame(found[0]), nameOf(containerOf(design.id))) << design.name;
    }
}

}  // namespace
