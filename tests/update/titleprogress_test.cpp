#include "support/printers.h"
#include "update/simrig.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString kTitle = QStringLiteral("Lumeno KV120 aprs config");

QString withPercent(int percent) {
    return QString::number(percent) + QStringLiteral("% - ") + kTitle;
}

TEST(TitleProgress, TheTitleCarriesThePercentageOnlyWhileATransferRuns) {
    struct Case {
        const char* name;
        std::function<void(SimKnobs&)> fault;
        QStringList titles;  // every title shown, in order
    };
    const Case cases[] = {
        // 3 blocks: each block as it is sent, then the plain title.
        {"complete",
         [](SimKnobs&) {},
         {kTitle, withPercent(33), withPercent(67), withPercent(100), kTitle}},
        {"loader stalls after block 1",
         [](SimKnobs& k) { k.stallAfterBlock = 1; },
         {kTitle, withPercent(33), kTitle}},
        {"loader never answers the probe", [](SimKnobs& k) { k.answerProbeFrom = 0; }, {kTitle}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimKnobs knobs = SimRig::lineRateKnobs();
        c.fault(knobs);
        SimRig rig(knobs);
        rig.form.setText(Ctl::Form1, kTitle);
        TextHistory titles(rig.form, Ctl::Form1);
        titles.texts.append(kTitle);
        loadImage(rig, QByteArray(5000, 'x'));
        rig.runUpdate();

        EXPECT_EQ(titles.texts, c.titles);
    }
}

}  // namespace
