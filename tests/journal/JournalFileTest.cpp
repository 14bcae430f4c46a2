#include "journal/JournalFile.h"
#include "journal/LineDecoding.h"
#include "journal/ResultWindow.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// A journal file of n numbered lines, as a search writes it.
JournalFileInfo writeNumbered(const QTemporaryDir &dir, qint64 n, int width = 18)
{
    JournalFileInfo info{dir.filePath(QStringLiteral("Original_T.txt")), width, n, true};
    JournalFileWriter writer(info.path, width);
    for (qint64 i = 0; i < n; ++i)
        writer.writeLine(QByteArray::number(i).rightJustified(width, ' '));
    writer.close();
    return info;
}

TEST(JournalFile, HoldsDeviceBytesInFixedWidthLines)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("j.txt"));
    {
        JournalFileWriter w(path, 18);
        w.writeLine(QByteArray("\x12\x80\xA0\xFF", 4) + QByteArray(14, ' '));
        w.writeLine("short");
        w.writeLine(QByteArray(30, 'L'));
        EXPECT_EQ(w.lineCount(), 3);
    }
    const QByteArray bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 3 * 20);
    EXPECT_EQ(bytes.left(4), QByteArray("\x12\x80\xA0\xFF", 4)) << "one byte a character, as the device sent it";
    EXPECT_EQ(bytes.mid(18, 2), QByteArray("\r\n"));
    EXPECT_EQ(bytes.mid(20, 20), QByteArray("short") + QByteArray(13, ' ') + "\r\n");
    EXPECT_EQ(bytes.mid(40, 20), QByteArray(18, 'L') + "\r\n");
}

TEST(JournalFile, RefusesAPlaceItCannotWrite)
{
    try {
        JournalFileWriter w(QStringLiteral("/nonexistent-folder/Original_X.txt"), 18);
        FAIL() << "created a file in a missing folder";
    } catch (const JournalFileError &e) {
        EXPECT_TRUE(
            e.message().startsWith(QStringLiteral("Cannot create file \"/nonexistent-folder/Original_X.txt\". ")))
            << e.message().toStdString();
    }
}

TEST(ResultWindow, SpanFollowsThePosition)
{
    struct Case
    {
        qint64 lines, position, first, last;
    };
    const Case cases[] = {
        {0, 0, 0, -1},         {150, 0, 0, 149},      {150, 100, 0, 149},     {1000, 0, 0, 199}, {1000, 500, 500, 699},
        {1000, 800, 800, 999}, {1000, 999, 800, 999}, {1000, 5000, 800, 999}, {200, 0, 0, 199},  {201, 1, 1, 200},
    };
    for (const auto &c : cases) {
        const WindowSpan s = JournalWindowSpan(c.position, c.lines);
        EXPECT_EQ(s.empty(), c.last < c.first) << c.lines << "@" << c.position;
        if (!s.empty()) {
            EXPECT_EQ(s.first, c.first) << c.lines << "@" << c.position;
            EXPECT_EQ(s.last, c.last) << c.lines << "@" << c.position;
        }
    }
}

TEST(ResultWindow, ReadsTheWindowStraightFromItsPlace)
{
    QTemporaryDir dir;
    const JournalFileInfo info = writeNumbered(dir, 1000);
    const JournalWindow w = LoadJournalWindow(info, 500);
    ASSERT_EQ(w.raw.size(), 200);
    EXPECT_EQ(w.raw.first().trimmed(), QByteArray("500"));
    EXPECT_EQ(w.raw.last().trimmed(), QByteArray("699"));
    ASSERT_EQ(w.decoded.size(), 200);
    EXPECT_EQ(w.decoded.first().trimmed(), QStringLiteral("500"));

    const JournalWindow end = LoadJournalWindow(info, 999);
    ASSERT_EQ(end.raw.size(), 200);
    EXPECT_EQ(end.raw.first().trimmed(), QByteArray("800"));
    EXPECT_EQ(end.raw.last().trimmed(), QByteArray("999")) << "no empty line after the last";

    JournalFileInfo before = info;
    before.written = false;
    EXPECT_TRUE(LoadJournalWindow(before, 0).raw.isEmpty()) << "no search yet: nothing";
}

TEST(ResultWindow, ShorterFileThanRecordedShowsWhatItHas)
{
    QTemporaryDir dir;
    JournalFileInfo info = writeNumbered(dir, 10);
    info.JournalLineCount = 300; // the file was replaced by a shorter one
    EXPECT_EQ(LoadJournalWindow(info, 250).raw.size(), 0);
    EXPECT_EQ(LoadJournalWindow(info, 0).raw.size(), 10);
}

TEST(DecodedFile, HoldsOneDecodedLinePerJournalLineInUtf8)
{
    QTemporaryDir dir;
    JournalFileInfo info{dir.filePath(QStringLiteral("Original_T.txt")), 18, 3, true};
    {
        JournalFileWriter w(info.path, 18);
        w.writeLine('\x12' + QByteArray(17, ' '));
        w.writeLine(QByteArray("\x80\xA0\x5E\x5F", 4) + QByteArray(14, ' '));
        w.writeLine("H V A L A        #");
    }
    const QString decoded = dir.filePath(QStringLiteral("Bosnian_T.txt"));
    int calls = 0;
    WriteDecodedFile(info, decoded, [&calls] {
        ++calls;
        return false;
    });
    const QByteArray bytes = readAll(decoded);
    EXPECT_EQ(bytes, QStringLiteral("(Logo)            \r\nАаČŠ              \r\nH V A L A         \r\n").toUtf8());
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF")) << "no byte-order mark";
    EXPECT_EQ(calls, 0) << "messages are let through every 100 lines";

    const JournalFileInfo many = writeNumbered(dir, 250);
    WriteDecodedFile(many, decoded, [&calls] {
        ++calls;
        return false;
    });
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(readAll(decoded).count("\r\n"), 250);

    EXPECT_THROW(WriteDecodedFile(many, QStringLiteral("/nonexistent-folder/B.txt")), JournalFileError);
    JournalFileInfo missing = many;
    missing.path = dir.filePath(QStringLiteral("gone.txt"));
    EXPECT_THROW(WriteDecodedFile(missing, decoded), JournalFileError);
}

} // namespace
