#include "support/printers.h"
#include "update/loaderprotocol.h"
#include "update/updaterig.h"

#include <gtest/gtest.h>

namespace {

// What "Open ROM" leaves behind, to compare before and after a refusal.
struct Loaded {
    qint32 length;
    QByteArray buffer;
    QString status;
    int maximum;

    explicit Loaded(const ScriptedRig& rig)
        : length(rig.updater.image().length),
          buffer(rig.updater.image().buffer),
          status(rig.status()),
          maximum(rig.form.maximum(Ctl::ProgressBar1)) {}
    bool operator==(const Loaded&) const = default;
};

TEST(ImageOpen, LoadsTheWholeFilePaddedWithFfAlwaysAddingSome) {
    struct Case {
        qsizetype length;
        int blocks;
    };
    const Case cases[] = {
        {0, 1}, {1, 1}, {2047, 1}, {2048, 2}, {5000, 3}, {8192, 5}, {kMaxImageLength, 256}};
    for (const Case c : cases) {
        SCOPED_TRACE(c.length);
        ScriptedRig rig;
        const QByteArray file = patternBytes(c.length);
        const QString path = rig.writeFile(file);
        rig.prompter.files.push_back(path);
        rig.updater.imageOpen();

        ASSERT_EQ(rig.prompter.fileRequests.size(), 1u);
        const FileRequest& request = rig.prompter.fileRequests.front();
        EXPECT_EQ(request.mode, FileRequest::Mode::Open);
        EXPECT_EQ(request.title, "打开");
        EXPECT_EQ(request.filter, "Bin文件(*.bin)|*.bin");
        EXPECT_EQ(rig.status(), "文件：" + path);
        EXPECT_EQ(rig.form.minimum(Ctl::ProgressBar1), 0);
        EXPECT_EQ(rig.form.maximum(Ctl::ProgressBar1), c.blocks);
        EXPECT_EQ(rig.updater.image().length, c.length);
        EXPECT_EQ(rig.updater.image().buffer,
                  file + QByteArray(c.blocks * kBlockSize - c.length, char(0xFF)));
        EXPECT_TRUE(rig.prompter.messages.empty());
        EXPECT_TRUE(rig.prompter.questions.empty());
    }
}

TEST(ImageOpen, ARefusedFileLeavesThePreviousImageLoaded) {
    struct Case {
        const char* name;
        std::function<QString(ScriptedRig&)> choose;  // the path the user picks
        QString message;                              // %1: the path; empty: none
    };
    const Case cases[] = {
        {"dialog cancelled", [](ScriptedRig&) { return QString(); }, {}},
        {"one byte over the loader's limit",
         [](ScriptedRig& rig) {
             return rig.writeFile(patternBytes(kMaxImageLength + 1), "big.bin");
         },
         "The image is larger than 524287 bytes, the most the device's loader accepts. The image "
         "loaded before stays loaded."},
        {"missing", [](ScriptedRig& rig) { return rig.dir.filePath("gone.bin"); },
         "The file %1 could not be read: No such file or directory"},
        {"a folder", [](ScriptedRig& rig) { return rig.dir.path(); },
         "The file %1 could not be read: file to open is a directory"},
#ifdef Q_OS_LINUX
        {"opens but fails to read", [](ScriptedRig&) { return QStringLiteral("/proc/self/mem"); },
         "The file %1 could not be read: Input/output error"},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedRig rig;
        loadImage(rig, patternBytes(6000, 1));
        const Loaded before(rig);
        const QString path = c.choose(rig);
        rig.prompter.files.push_back(path);
        rig.updater.imageOpen();

        const QStringList messages = rig.prompter.messageTexts();
        EXPECT_EQ(messages, c.message.isEmpty()
                                ? QStringList{}
                                : QStringList{QString(c.message).replace("%1", path)});
        EXPECT_TRUE(Loaded(rig) == before);
    }
}

TEST(ImageOpen, AFileThatIsPlainlyNotARawImageIsLoadedOnlyWhenConfirmed) {
    struct Case {
        const char* name;
        QByteArray start;
        QString kind;  // empty: no question
    };
    const Case cases[] = {
        {"ELF",
         QByteArray("\x7F"
                    "ELF\x01\x01\x01\x00",
                    8),
         "a program file (ELF)"},
        {"ZIP", QByteArray("PK\x03\x04", 4), "a ZIP archive"},
        {"UF2", QByteArray("UF2\n", 4), "a UF2 file"},
        {"Intel HEX", ":10000000FFFF\r\n:00000001FF\r\n", "an Intel HEX text file"},
        {"Intel HEX, LF only", ":00000001FF\n", "an Intel HEX text file"},
        {"raw", QByteArray("\x00\x50\x00\x20", 4), {}},
        {"raw starting with a colon", QByteArray(":\x00\x20\x00\x08", 5), {}},
        {"hex digits without the colon", "020000040800F2\r\n", {}},
        {"ELF signature not at the start",
         QByteArray("\x00\x7F"
                    "ELF",
                    5),
         {}},
    };
    for (const Case& c : cases) {
        for (const bool yes : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (yes ? ", yes" : ", no"));
            ScriptedRig rig;
            loadImage(rig, patternBytes(6000, 1));
            const Loaded before(rig);
            // Text files must stay text all through to look like Intel HEX.
            const QByteArray file =
                c.start.startsWith(':') ? c.start.repeated(200) : c.start + patternBytes(6000);
            rig.prompter.answers.push_back(yes);
            loadImage(rig, file);

            if (c.kind.isEmpty()) {
                EXPECT_TRUE(rig.prompter.questions.empty());
            } else {
                ASSERT_EQ(rig.prompter.questions.size(), 1u);
                EXPECT_EQ(rig.prompter.questions.front().text,
                          "This file looks like " + c.kind +
                              ", not a raw firmware image (*.bin). Load it anyway?");
            }
            const bool loaded = yes || c.kind.isEmpty();
            EXPECT_EQ(rig.updater.image().length, loaded ? file.size() : 6000);
            EXPECT_EQ(Loaded(rig) == before, !loaded);
        }
    }
}

TEST(ImageOpen, ANewImageStartsTheTransferAgainFromItsFirstBlock) {
    ScriptedRig rig;
    loadImage(rig, patternBytes(6000, 1));
    rig.link.open();
    rig.session.receivePath().trace().set(QStringLiteral("  "));
    rig.link.send(QByteArray("\xE5", 1));
    rig.link.send(QByteArray("\xC5", 1));
    const QByteArray second = patternBytes(9000, 2);
    loadImage(rig, second);
    rig.link.send(QByteArray("\xC5", 1));

    ASSERT_EQ(rig.link.writes().size(), 3);
    EXPECT_EQ(rig.link.writes().last().first(kBlockSize), second.first(kBlockSize));
    EXPECT_EQ(rig.form.maximum(Ctl::ProgressBar1), 5);
}

}  // namespace
