#include "sim/simoptions.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

SimCommandLine parse(const QStringList& arguments) {
    return parseSimCommandLine(QStringList{"kv120-sim"} + arguments);
}

TEST(SimOptions, EachKnobHasItsOption) {
    struct Case {
        QStringList arguments;
        std::function<bool(const SimKnobs&)> holds;
    };
    const Case cases[] = {
        {{}, [](const SimKnobs& k) { return k.bytesPerSecond == 11520 && k.answerDelayMs == 20; }},
        {{"--silent"}, [](const SimKnobs& k) { return k.silent; }},
        {{"--no-connect"}, [](const SimKnobs& k) { return k.noConnect && !k.silent; }},
        {{"--no-read-end"}, [](const SimKnobs& k) { return k.noReadEnd; }},
        {{"--no-freq-save"}, [](const SimKnobs& k) { return k.noFreqSave; }},
        {{"--no-wifi-ack"}, [](const SimKnobs& k) { return k.noWifiAck; }},
        {{"--no-eeram-reset"}, [](const SimKnobs& k) { return k.noEeramReset; }},
        {{"--garbage", "00FF0d0A"},
         [](const SimKnobs& k) { return k.garbage == QByteArray("\x00\xff\r\n", 4); }},
        {{"--answer-delay", "250"}, [](const SimKnobs& k) { return k.answerDelayMs == 250; }},
        {{"--line-rate", "0"}, [](const SimKnobs& k) { return k.bytesPerSecond == 0; }},
        {{"--disconnect-after", "100"},
         [](const SimKnobs& k) { return k.disconnectAfterBytes == 100; }},
        {{"--loader-listen", "500"}, [](const SimKnobs& k) { return k.loaderListenMs == 500; }},
        {{"--answer-probe-from", "3"}, [](const SimKnobs& k) { return k.answerProbeFrom == 3; }},
        {{"--ask-again-every", "4"}, [](const SimKnobs& k) { return k.askAgainEvery == 4; }},
        {{"--stall-after-block", "2"}, [](const SimKnobs& k) { return k.stallAfterBlock == 2; }},
        {{"--corrupt-block", "1"}, [](const SimKnobs& k) { return k.corruptChecksumOfBlock == 1; }},
    };
    for (const Case& c : cases) {
        const SimCommandLine line = parse(c.arguments);
        ASSERT_TRUE(line.run) << c.arguments.join(' ').toStdString() << line.message.toStdString();
        EXPECT_TRUE(c.holds(line.options.knobs)) << c.arguments.join(' ').toStdString();
    }
}

TEST(SimOptions, LinkStatePathsAndAStartInTheLoader) {
    const SimCommandLine line =
        parse({"--link", "/tmp/kv120", "--state", "/tmp/kv.json", "--in-loader"});
    EXPECT_EQ(line.options.linkPath, "/tmp/kv120");
    EXPECT_EQ(line.options.statePath, "/tmp/kv.json");
    EXPECT_TRUE(line.options.inLoader);
    EXPECT_FALSE(parse({}).options.inLoader);
}

TEST(SimOptions, WrongCommandLinesAreRefusedWithAReason) {
    const QStringList cases[] = {
        {"--answer-delay", "-1"},
        {"--line-rate", "fast"},
        {"--corrupt-block", "99999999999"},
        {"--garbage", "0"},
        {"--garbage", "zz"},
        {"--no-such-option"},
        {"extra"},
        {"--link"},
    };
    for (const QStringList& arguments : cases) {
        const SimCommandLine line = parse(arguments);
        EXPECT_FALSE(line.run) << arguments.join(' ').toStdString();
        EXPECT_TRUE(line.failed) << arguments.join(' ').toStdString();
        EXPECT_FALSE(line.message.isEmpty()) << arguments.join(' ').toStdString();
    }
}

TEST(SimOptions, HelpListsTheKnobsAndDoesNotRun) {
    const SimCommandLine line = parse({"--help"});
    EXPECT_FALSE(line.run);
    EXPECT_FALSE(line.failed);
    for (const char* option : {"--link", "--state", "--silent", "--garbage", "--line-rate",
                               "--disconnect-after", "--corrupt-block", "--stall-after-block"}) {
        EXPECT_TRUE(line.message.contains(QLatin1String(option))) << option;
    }
}

}  // namespace
