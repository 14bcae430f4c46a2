#include <QDir>
#include <QDate>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTime>
#include <QThread>

#include <csignal>

#include <signal.h>
#include <QProcess>
#include <QTemporaryDir>
#include <QStringList>

#include "tests/support/SmallFileSystem.h"

#include <gtest/gtest.h>

// The headless reader as a script meets it: its output, its errors, its exit status.
namespace {

struct ReaderRun
{
    int status = -1;
    QString out;
    QString err;
};

ReaderRun reader(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(EJOURNAL_READ_PATH), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

TEST(ReaderProgram, PrintsTheSimulatedIdentity)
{
    const ReaderRun r = reader({QStringLiteral("--simulator"), QStringLiteral("--sim-documents"), QStringLiteral("321"),
                                QStringLiteral("--info")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6) << r.out.toStdString();
    const char *labels[] = {"Initialization date: ", "Initialization time: ", "Fiscal memory No: ",
                            "Client No: ",           "Stored documents: ",    "Free memory: "};
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(lines[i].startsWith(QLatin1String(labels[i]))) << lines[i].toStdString();
    EXPECT_EQ(lines[4], QStringLiteral("Stored documents: 321"));
    EXPECT_TRUE(lines[1].endsWith(QLatin1String("09:05:00")));
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
}

TEST(ReaderProgram, TraceShowsTheExchangeInHex)
{
    const ReaderRun r = reader({QStringLiteral("--simulator"), QStringLiteral("--trace"), QStringLiteral("--info")});
    ASSERT_EQ(r.status, 0);
    const QStringList lines = r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << r.err.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("> 05 00 01 84 00"));
    EXPECT_TRUE(lines[1].startsWith(QLatin1String("< 00 FF 01 84 1E ")));
    EXPECT_EQ(lines[1].size(), 1 + 255 * 3);
}

TEST(ReaderProgram, ExitStatusSaysWhatWentWrong)
{
    ReaderRun r = reader({QStringLiteral("--info")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QLatin1String("No device found"))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());

    r = reader({QStringLiteral("--numbers"), QStringLiteral("1")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QLatin1String("Usage: ejournal-read")));

    r = reader({QStringLiteral("--simulator"), QStringLiteral("--sim-faults"), QStringLiteral("error3@1"),
                QStringLiteral("--info")});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.err.contains(QLatin1String("Document number is out of range"))) << r.err.toStdString();
}

} // namespace

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString fiscalNumber()
{
    const ReaderRun r = reader({QStringLiteral("--simulator"), QStringLiteral("--info")});
    for (const QString &line : r.out.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Fiscal memory No: ")))
            return line.mid(18);
    }
    return {};
}

TEST(ReaderProgram, SearchWritesTheJournalFilesIntoTheDirectory)
{
    QTemporaryDir dir;
    const QString fiscal = fiscalNumber();
    ASSERT_FALSE(fiscal.isEmpty());
    const ReaderRun r =
        reader({QStringLiteral("--simulator"), QStringLiteral("--directory"), dir.path(), QStringLiteral("--decoded"),
                QStringLiteral("--numbers"), QStringLiteral("3"), QStringLiteral("4")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList out = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(out.size(), 1) << "only the summary on standard output";
    EXPECT_TRUE(out[0].startsWith(QLatin1String("Found 2 documents, "))) << out[0].toStdString();

    const QByteArray journal = fileBytes(dir.filePath(QStringLiteral("Original_%1.txt").arg(fiscal)));
    const QByteArray decoded = fileBytes(dir.filePath(QStringLiteral("Bosnian_%1.txt").arg(fiscal)));
    const qsizetype lines = journal.count("\r\n");
    EXPECT_GT(lines, 20);
    EXPECT_EQ(journal.size(), lines * 20);
    EXPECT_EQ(decoded.count("\r\n"), lines);
    EXPECT_TRUE(out[0].contains(QStringLiteral(" %1 lines,").arg(lines)));
    EXPECT_TRUE(QString::fromUtf8(decoded).contains(QStringLiteral("(Logo)")));
}

TEST(ReaderProgram, FailedSearchExitsWithThreeAndKeepsItsLines)
{
    QTemporaryDir dir;
    const ReaderRun r = reader({QStringLiteral("--simulator"), QStringLiteral("--sim-faults"),
                                QStringLiteral("error3@8"), QStringLiteral("--directory"), dir.path(),
                                QStringLiteral("--numbers"), QStringLiteral("0"), QStringLiteral("2")});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(r.err.contains(QLatin1String("Document number is out of range"))) << r.err.toStdString();
    const QByteArray journal = fileBytes(dir.filePath(QStringLiteral("Original_%1.txt").arg(fiscalNumber())));
    EXPECT_GT(journal.count("\r\n"), 0);
}

TEST(ReaderProgram, AllReadsEverythingWithoutAsking)
{
    QTemporaryDir dir;
    const ReaderRun r =
        reader({QStringLiteral("--simulator"), QStringLiteral("--sim-documents"), QStringLiteral("5001"),
                QStringLiteral("--directory"), dir.path(), QStringLiteral("--all")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QLatin1String("Found 5001 documents, "))) << r.out.toStdString();
    EXPECT_FALSE(r.err.contains(QLatin1String("more then 5000")));
}

TEST(ReaderProgram, BadNumbersAreBadArguments)
{
    const ReaderRun r =
        reader({QStringLiteral("--simulator"), QStringLiteral("--numbers"), QStringLiteral("x"), QStringLiteral("2")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QLatin1String("The receipt number in \"From\""))) << r.err.toStdString();
}

} // namespace

namespace {

// A full disk, made real: the file's name is a link to /dev/full, whose
// writes fail with ENOSPC, so nothing but the file system says so.
TEST(ReaderProgram, FullDiskIsAFailureThatNamesTheFile)
{
    const QString fiscal = fiscalNumber();
    ASSERT_FALSE(fiscal.isEmpty());
    for (const QString &full : {QStringLiteral("Original_%1.txt"), QStringLiteral("Bosnian_%1.txt")}) {
        QTemporaryDir dir;
        const QString name = full.arg(fiscal);
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), dir.filePath(name)));
        // Small enough that every byte waits in a buffer until the close.
        const ReaderRun r = reader({QStringLiteral("--simulator"), QStringLiteral("--directory"), dir.path(),
                                    QStringLiteral("--decoded"), QStringLiteral("--numbers"), QStringLiteral("0"),
                                    QStringLiteral("30")});
        EXPECT_EQ(r.status, 3) << name.toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Cannot write file \"%1\"").arg(dir.filePath(name))))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String("No space left on device"))) << r.err.toStdString();
    }
}

// The index is a way into the lines, not the lines: a read whose index the
// disk refuses still succeeds, but --json, which needs it, fails and says why.
TEST(ReaderProgram, AnIndexTheDiskRefusedFailsOnlyTheJson)
{
    const QString fiscal = fiscalNumber();
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), dir.filePath(QStringLiteral("Original_%1.idx").arg(fiscal))));
    const QStringList args{QStringLiteral("--simulator"), QStringLiteral("--directory"), dir.path(),
                           QStringLiteral("--numbers"),   QStringLiteral("0"),           QStringLiteral("30")};
    const ReaderRun plain = reader(args);
    EXPECT_EQ(plain.status, 0) << plain.err.toStdString();
    const ReaderRun json = reader(args + QStringList{QStringLiteral("--json")});
    EXPECT_EQ(json.status, 3);
    EXPECT_TRUE(json.err.contains(QLatin1String("The document index"))
                && json.err.contains(QLatin1String("No space left on device")))
        << json.err.toStdString();
    EXPECT_TRUE(json.out.isEmpty()) << json.out.toStdString();
}

TEST(ReaderProgram, SearchThatDoesNotStartHasAStatusOfItsOwn)
{
    QTemporaryDir dir;
    const ReaderRun r = reader({QStringLiteral("--simulator"), QStringLiteral("--sim-documents"), QStringLiteral("0"),
                                QStringLiteral("--directory"), dir.path(), QStringLiteral("--all")});
    EXPECT_EQ(r.status, 4) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QLatin1String("No stored documents"))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

TEST(ReaderProgram, ErrorCodesWithoutATextAreNamed)
{
    struct Case
    {
        const char *faults;
        const char *verb;
        const char *said;
    };
    const Case cases[] = {
        {"error42@5", "--all", "The journal answered with error code 42."},
        {"error200@1", "--info", "The journal answered with error code 200."},
        {"error3@5", "--all", "Document number is out of range"},
        {"error0@5", "--all", "The journal answered with error code 0."},
        {"error0@1", "--info", "The journal answered with error code 0."},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        const ReaderRun r = reader({QStringLiteral("--simulator"), QStringLiteral("--sim-documents"),
                                    QStringLiteral("5"), QStringLiteral("--sim-faults"), QLatin1String(c.faults),
                                    QStringLiteral("--directory"), dir.path(), QLatin1String(c.verb)});
        EXPECT_EQ(r.status, 3) << c.faults;
        EXPECT_TRUE(r.err.contains(QLatin1String(c.said))) << c.faults << "\n" << r.err.toStdString();
        if (QByteArray(c.faults) == "error3@5") {
            EXPECT_FALSE(r.err.contains(QLatin1String("error code"))) << "a code with a text is not named twice";
        }
    }
}

} // namespace

namespace {

// Ctrl+C and SIGTERM end a long read cleanly: the lines so far stay, whole and
// in order, and the status says which signal it was, as shells expect.
TEST(ReaderProgram, SignalsEndTheReadKeepingItsLines)
{
    QTemporaryDir whole;
    const QStringList journal{QStringLiteral("--simulator")};
    const QStringList search{QStringLiteral("--numbers"), QStringLiteral("0"), QStringLiteral("40")};
    ASSERT_EQ(reader(journal + search + QStringList{QStringLiteral("--directory"), whole.path()}).status, 0);
    const QString name = QStringLiteral("Original_%1.txt").arg(fiscalNumber());
    const QByteArray reference = fileBytes(QDir(whole.path()).filePath(name));
    ASSERT_FALSE(reference.isEmpty());

    for (const auto &[signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        QTemporaryDir dir;
        QProcess p;
        // 20 ms an answer: the 41 headers take 0.8 s, the lines some 2 s more.
        p.start(QStringLiteral(EJOURNAL_READ_PATH),
                journal + search
                    + QStringList{QStringLiteral("--sim-faults"), QStringLiteral("latency=20ms"),
                                  QStringLiteral("--directory"), dir.path()});
        ASSERT_TRUE(p.waitForStarted());
        QThread::msleep(1500);
        ::kill(pid_t(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(10000)) << "the read did not end on signal " << signal;
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(p.exitCode(), status) << err.toStdString();
        EXPECT_TRUE(err.contains(QLatin1String("Read cancelled; the "))) << err.toStdString();
        const QByteArray kept = fileBytes(dir.filePath(name));
        EXPECT_GT(kept.size(), 0) << signal;
        EXPECT_LT(kept.size(), reference.size()) << signal;
        EXPECT_EQ(kept.size() % 20, 0) << "whole lines";
        EXPECT_TRUE(reference.startsWith(kept)) << signal;
    }
}

} // namespace

namespace {

// --json: JSON Lines a real parser reads, whose lines are the journal file's.
TEST(ReaderProgram, JsonLinesHoldEveryDocumentAndEqualTheJournalFile)
{
    struct Case
    {
        const char *name;
        QStringList args;
        int width;
        const char *outcome;
    };
    const Case cases[] = {
        {"all", {QStringLiteral("--all")}, 18, "completed"},
        {"numbers, fiscal printer",
         {QStringLiteral("--device-type"), QStringLiteral("fiscal-printer"), QStringLiteral("--numbers"),
          QStringLiteral("3"), QStringLiteral("7")},
         32,
         "completed"},
        {"ended early",
         {QStringLiteral("--sim-faults"), QStringLiteral("error3@40"), QStringLiteral("--all")},
         18,
         "ended on an error"},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        const QStringList common{QStringLiteral("--simulator"),
                                 QStringLiteral("--sim-documents"),
                                 QStringLiteral("30"),
                                 QStringLiteral("--directory"),
                                 dir.path(),
                                 QStringLiteral("--decoded")};
        const ReaderRun plain = reader(common + c.args);
        const ReaderRun r = reader(common + c.args + QStringList{QStringLiteral("--json")});
        const QString fiscal = fiscalNumber();
        const QByteArray journal = fileBytes(dir.filePath(QStringLiteral("Original_%1.txt").arg(fiscal)));
        const QByteArray decoded = fileBytes(dir.filePath(QStringLiteral("Bosnian_%1.txt").arg(fiscal)));
        ASSERT_FALSE(journal.isEmpty()) << c.name;

        const QStringList out = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_GE(out.size(), 2) << c.name;
        QByteArray raw, lines;
        qint64 previous = -1;
        int withService = 0;
        for (qsizetype i = 0; i + 1 < out.size(); ++i) {
            QJsonParseError error;
            const QJsonObject d = QJsonDocument::fromJson(out[i].toUtf8(), &error).object();
            ASSERT_EQ(error.error, QJsonParseError::NoError) << c.name << ": " << out[i].toStdString();
            const qint64 number = d.value(QLatin1String("number")).toInteger(-1);
            EXPECT_GT(number, previous) << c.name << ": documents in order";
            previous = number;
            EXPECT_TRUE(
                QDate::fromString(d.value(QLatin1String("date")).toString(), QStringLiteral("yyyy-MM-dd")).isValid());
            EXPECT_TRUE(
                QTime::fromString(d.value(QLatin1String("time")).toString(), QStringLiteral("HH:mm")).isValid());
            EXPECT_GE(d.value(QLatin1String("type")).toInt(), 1);
            const QJsonArray hex = d.value(QLatin1String("raw")).toArray();
            const QJsonArray text = d.value(QLatin1String("lines")).toArray();
            EXPECT_EQ(hex.size(), text.size()) << c.name;
            for (const QJsonValue &h : hex) {
                const QByteArray line = QByteArray::fromHex(h.toString().toLatin1());
                EXPECT_EQ(line.size(), c.width) << c.name;
                raw += line + "\r\n";
            }
            for (const QJsonValue &t : text)
                lines += t.toString().toUtf8() + "\r\n";
            withService += d.value(QLatin1String("service")).toArray().isEmpty() ? 0 : 1;
        }
        EXPECT_EQ(raw, journal) << c.name << ": the raw lines are the journal file's, in order";
        EXPECT_EQ(lines, decoded) << c.name << ": the decoded lines are the decoded file's";
        if (QByteArray(c.name) == "all") {
            EXPECT_EQ(out.size() - 1, 30);
            EXPECT_GT(withService, 0) << "some documents carry service lines";
        }
        const QJsonObject last = QJsonDocument::fromJson(out.last().toUtf8()).object();
        EXPECT_EQ(last.value(QLatin1String("summary")).toString(), plain.out.trimmed()) << c.name;
        EXPECT_EQ(last.value(QLatin1String("lines")).toInteger(), journal.count("\r\n")) << c.name;
        EXPECT_EQ(last.value(QLatin1String("outcome")).toString(), QLatin1String(c.outcome)) << c.name;
    }
}

} // namespace

namespace {

// ---- Standard output, the journal file and the disk, made real -----------------

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList simulated(std::initializer_list<const char *> args)
{
    QStringList out{QStringLiteral("--simulator")};
    for (const char *a : args)
        out << QString::fromLatin1(a);
    return out;
}

TEST(ReaderProgram, StandardOutputThatCannotBeWrittenIsAFailure)
{
    for (const QStringList &args :
         {simulated({"--info"}), simulated({"--numbers", "5", "6"}), simulated({"--json", "--numbers", "5", "6"})}) {
        QTemporaryDir dir;
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.setStandardOutputFile(QStringLiteral("/dev/full"));
        p.start(QStringLiteral(EJOURNAL_READ_PATH), args);
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        const QString said = QStringLiteral("Cannot write standard output. No space left on device");
        EXPECT_EQ(p.exitCode(), 3) << args.join(QLatin1Char(' ')).toStdString() << "\n" << err.toStdString();
        EXPECT_EQ(err.count(said), 1) << err.toStdString();
    }
}

TEST(ReaderProgram, AClosedPipeEndsTheReaderQuietly)
{
    QProcess p;
    p.start(
        QStringLiteral("bash"),
        {QStringLiteral("-c"), QStringLiteral("set -o pipefail; '%1' --simulator --json --all | head -c 100 >/dev/null")
                                   .arg(QStringLiteral(EJOURNAL_READ_PATH))});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 128 + SIGPIPE) << "ended by SIGPIPE, as Unix tools end";
    EXPECT_FALSE(QString::fromLocal8Bit(p.readAllStandardError()).contains(QLatin1String("Cannot write")));
}

// A journal file that is not a plain file (a link to /dev/full): the search
// fails on it, and the JSON output reads the lines the search wrote, not the
// endless zeros the device gives.
TEST(ReaderProgram, OutputsReadTheLinesTheSearchWroteNotTheFile)
{
    const QString fiscal = fiscalNumber();
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), dir.filePath(QStringLiteral("Original_%1.txt").arg(fiscal))));
    QProcess p;
    p.start(QStringLiteral(EJOURNAL_READ_PATH),
            simulated({"--json", "--directory"}) + QStringList{dir.path()} + QStringList{QStringLiteral("--all")});
    ASSERT_TRUE(p.waitForFinished(30000)) << "the output reads for ever";
    EXPECT_EQ(p.exitCode(), 3);
    const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
    ASSERT_GE(lines.size(), 2);
    const QJsonObject summary = QJsonDocument::fromJson(lines[lines.size() - 2]).object();
    EXPECT_EQ(summary.value(QStringLiteral("lines")).toInt(-1), 0);
    EXPECT_EQ(summary.value(QStringLiteral("outcome")).toString(), QStringLiteral("file error"));
}

// A real full file system, not only /dev/full: the reason is the system's,
// and the journal file ends on its last whole line.
TEST(ReaderProgram, AFullFileSystemLeavesWholeLinesAndSaysWhy)
{
    SmallFileSystem fs(64);
    if (!fs.skipReason().empty())
        GTEST_SKIP() << fs.skipReason();
    QTemporaryDir ref;
    ASSERT_EQ(reader(simulated({"--directory"}) + QStringList{ref.path(), QStringLiteral("--all")}).status, 0);
    const QString fiscal = fiscalNumber();
    const QByteArray reference = readFile(ref.filePath(QStringLiteral("Original_%1.txt").arg(fiscal)));

    const ReaderRun r = reader(simulated({"--directory"}) + QStringList{fs.path(), QStringLiteral("--all")});
    EXPECT_EQ(r.status, 3) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QLatin1String("No space left on device"))) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QLatin1String("Unknown error"))) << r.err.toStdString();
    const QByteArray kept = readFile(fs.filePath(QStringLiteral("Original_%1.txt").arg(fiscal)));
    EXPECT_GT(kept.size(), 0);
    EXPECT_EQ(kept.size() % 20, 0) << "whole lines only";
    EXPECT_TRUE(reference.startsWith(kept));
}

TEST(ReaderProgram, ASignalEndsTheJsonOutputToo)
{
    for (const auto &[signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        QTemporaryDir dir;
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(EJOURNAL_READ_PATH), simulated({"--sim-documents", "4000", "--json", "--all"}));
        // The first bytes on standard output: the read is over, the output
        // has begun and now waits for the pipe, which nobody drains.
        ASSERT_TRUE(p.waitForReadyRead(60000));
        ::kill(pid_t(p.processId()), signal);
        QByteArray out;
        while (p.state() != QProcess::NotRunning) {
            p.waitForReadyRead(100);
            out += p.readAllStandardOutput();
        }
        out += p.readAllStandardOutput();
        EXPECT_EQ(p.exitCode(), status) << signal;
        EXPECT_TRUE(out.endsWith('\n')) << "whole objects";
        EXPECT_FALSE(out.contains("\"summary\"")) << "the output stopped before its end";
    }
}

TEST(ReaderProgram, DatesTheDateWordCannotHoldAreRefused)
{
    for (const char *from : {"1899-12-31", "1999-12-31", "2128-01-01"}) {
        const ReaderRun r = reader(simulated({"--dates", from, "00:00:00", "2025-01-01", "00:00:00"}));
        EXPECT_EQ(r.status, 2) << from;
        EXPECT_TRUE(r.err.contains(QLatin1String("from 2000 to 2127"))) << r.err.toStdString();
    }
    EXPECT_EQ(reader(simulated({"--dates", "2000-01-01", "00:00:00", "2127-12-31", "23:59:59"})).status, 0);
}

} // namespace
