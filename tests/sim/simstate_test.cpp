#include "sim/simstate.h"
#include "support/printers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

SimState awkwardState() {
    SimState state;
    state.config.callsign = "AB1C";
    state.config.comment = QByteArray("50% \"off\"\r\n\x00\xff\xe4\xbd\xa0", 16);
    state.config.wifiPassword = "se,cret#";
    state.config.dhcp = false;
    state.flash.length = 5000;
    state.flash.blocks = 2;
    state.flash.rejected = 1;
    state.flash.discarded = 3;
    state.flash.image = QByteArray(4096, '\xA5');
    return state;
}

TEST(SimState, EveryByteOfTheSettingsAndTheFlashSurvivesAFileRoundTrip) {
    for (const SimState& state : {SimState{}, awkwardState()}) {
        EXPECT_EQ(decodeSimState(encodeSimState(state)), state);
    }
    // Plain settings stay readable in the file.
    EXPECT_TRUE(encodeSimState(SimState{}).contains("\"comment\": \"KORVA 144.640MHz\""));
}

TEST(SimState, MissingFieldsKeepFactoryValuesAndOtherTextsAreRefused) {
    const std::optional<SimState> partial = decodeSimState(R"({"config": {"callsign": "BG7A"}})");
    ASSERT_TRUE(partial);
    SimState expected;
    expected.config.callsign = "BG7A";
    EXPECT_EQ(*partial, expected);
    for (const QByteArray& text : {QByteArray("not json"), QByteArray("[1, 2]"), QByteArray()}) {
        EXPECT_FALSE(decodeSimState(text)) << text.toStdString();
    }
}

TEST(SimState, FilesAreReadBackAndAMissingFileIsTheFactoryState) {
    QTemporaryDir dir;
    const QString path = dir.filePath("state.json");
    EXPECT_EQ(readSimStateFile(path), SimState{});
    writeSimStateFile(path, awkwardState());
    EXPECT_EQ(readSimStateFile(path), awkwardState());
    QFile broken(dir.filePath("broken.json"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("{ half");
    broken.close();
    EXPECT_THROW(readSimStateFile(broken.fileName()), std::runtime_error);
    EXPECT_THROW(writeSimStateFile(dir.filePath("no/such/dir/state.json"), SimState{}),
                 std::runtime_error);
}

}  // namespace
