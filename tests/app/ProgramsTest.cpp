// The two programs as a user and a packager meet them: their command lines,
// Qt's own options, their manual pages and what the readers of their output
// expect.
#include "app/ProgramOptions.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ProgramRun
{
    int status = -1;
    bool crashed = false;
    QString out;
    QString err;
};

// env: changes to the environment; a value of "" removes the variable.
ProgramRun run(const char *program, const QStringList &args, const QList<std::pair<QString, QString>> &env = {},
               int timeoutMs = 30000)
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const auto &[name, value] : env) {
        if (value.isEmpty())
            e.remove(name);
        else
            e.insert(name, value);
    }
    p.setProcessEnvironment(e);
    p.start(QString::fromLocal8Bit(program), args);
    ProgramRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.status = -2; // still running: it started
    } else {
        r.status = p.exitCode();
        r.crashed = p.exitStatus() == QProcess::CrashExit;
    }
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

QStringList words(const char *line)
{
    return QString::fromLatin1(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(ProgramOptions, QtsOwnOptionsAreNoMistakeAndTheSimulatorsAreNamed)
{
    const std::pair<const char *, const char *> accepted[] = {
        {"-style fusion", ""},
        {"-style=fusion -reverse", ""},
        {"-platform offscreen -session 10abc_123 --simulator", ""},
        {"-qwindowgeometry 900x700+10+10 -widgetcount", ""},
        {"--device-type fiscal-printer", "the window's choice, with a journal on USB too"},
    };
    for (const auto &[line, why] : accepted) {
        QString error;
        EXPECT_TRUE(ParseProgramOptions(words(line), &error)) << line << " " << why << ": " << error.toStdString();
    }
    QString error;
    EXPECT_EQ(ParseProgramOptions(words("--device-type fiscal-printer"), &error)->sim.deviceType,
              DeviceType::FiscalPrinter);
    const std::pair<const char *, const char *> refused[] = {
        {"--sim-documents 5", "--sim-documents needs --simulator"},
        {"--sim-faults latency=2ms", "--sim-faults needs --simulator"},
        {"-colour red", "unknown"},
    };
    for (const auto &[line, why] : refused) {
        EXPECT_FALSE(ParseProgramOptions(words(line), &error)) << line;
        EXPECT_TRUE(error.contains(QLatin1String(why))) << line << ": " << error.toStdString();
    }
}

TEST(Programs, HelpAndVersionNeedNoDisplayAndQtOptionsStartTheWindow)
{
    const QList<std::pair<QString, QString>> noDisplay = {{QStringLiteral("DISPLAY"), QString()},
                                                          {QStringLiteral("WAYLAND_DISPLAY"), QString()},
                                                          {QStringLiteral("QT_QPA_PLATFORM"), QString()}};
    const ProgramRun help = run(EJOURNAL_PATH, {QStringLiteral("--help")}, noDisplay);
    EXPECT_EQ(help.status, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.contains(QLatin1String("Usage: ejournal"))) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QLatin1String("EJOURNAL_USB_IDS")));
    const ProgramRun version = run(EJOURNAL_PATH, {QStringLiteral("--version")}, noDisplay);
    EXPECT_EQ(version.status, 0) << version.err.toStdString();
    EXPECT_TRUE(version.out.startsWith(QLatin1String("ejournal 1."))) << version.out.toStdString();
    const ProgramRun mistake = run(EJOURNAL_PATH, {QStringLiteral("--sim-seed"), QStringLiteral("3")}, noDisplay);
    EXPECT_EQ(mistake.status, 2);
    EXPECT_TRUE(mistake.err.startsWith(QLatin1String("ejournal: --sim-seed needs --simulator")))
        << mistake.err.toStdString();

    // Qt takes its own options and the window comes up (it is still running
    // when it is stopped).
    const ProgramRun window =
        run(EJOURNAL_PATH, words("-platform offscreen -style fusion -reverse -session 1a2b --simulator"),
            {{QStringLiteral("QT_QPA_PLATFORM"), QString()}}, 3000);
    EXPECT_EQ(window.status, -2) << "exit " << window.status << ": " << window.err.toStdString();
}

TEST(ReaderManners, ErrorsAreNamedProgressOnlyOnATerminalAndTheIdentityAsJson)
{
    // An error, from a script's point of view: on standard error, after the
    // program's name; no progress lines in a log.
    const ProgramRun range = run(EJOURNAL_READ_PATH, words("--simulator --sim-documents 40 --numbers 30 90"));
    EXPECT_EQ(range.status, 3);
    EXPECT_TRUE(range.err.contains(QLatin1String("ejournal-read: Document number is out of range")))
        << range.err.toStdString();
    const ProgramRun all = run(EJOURNAL_READ_PATH, words("--simulator --sim-documents 40 --all"));
    EXPECT_EQ(all.status, 0);
    EXPECT_FALSE(QRegularExpression(QStringLiteral("^\\d+/\\d+ documents"), QRegularExpression::MultilineOption)
                     .match(all.err)
                     .hasMatch())
        << all.err.toStdString();

    const ProgramRun info = run(EJOURNAL_READ_PATH, words("--simulator --sim-documents 321 --info --json"));
    EXPECT_EQ(info.status, 0) << info.err.toStdString();
    EXPECT_EQ(info.out.count(QLatin1Char('\n')), 1) << info.out.toStdString();
    EXPECT_TRUE(info.out.startsWith(QLatin1String("{\"initialization_date\":\""))) << info.out.toStdString();
    EXPECT_TRUE(info.out.contains(QLatin1String("\"stored_documents\":\"321\""))) << info.out.toStdString();

    const ProgramRun help = run(EJOURNAL_READ_PATH, {QStringLiteral("--help")});
    for (const char *said : {"130", "143", "EJOURNAL_USB_IDS", "--quiet"})
        EXPECT_TRUE(help.out.contains(QLatin1String(said))) << said;
    const ProgramRun simOption = run(EJOURNAL_READ_PATH, words("--sim-documents 5 --info"));
    EXPECT_EQ(simOption.status, 2);
    EXPECT_TRUE(simOption.err.startsWith(QLatin1String("ejournal-read: --sim-documents needs --simulator")))
        << simOption.err.toStdString();
}

// Every option of a program's --help is in its manual page, and the page's
// exit statuses are the help's.
TEST(ManualPages, NameEveryOptionOfTheHelp)
{
    const std::pair<const char *, const char *> programs[] = {
        {EJOURNAL_PATH, EJOURNAL_MAN_DIR "/ejournal.1"},
        {EJOURNAL_READ_PATH, EJOURNAL_MAN_DIR "/ejournal-read.1"},
    };
    for (const auto &[program, page] : programs) {
        const ProgramRun help = run(program, {QStringLiteral("--help")});
        ASSERT_EQ(help.status, 0) << program;
        QFile file(QString::fromLatin1(page));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page;
        // The page's text as man shows it: troff's escaped hyphens plain.
        const QString text = QString::fromUtf8(file.readAll()).replace(QLatin1String("\\-"), QLatin1String("-"));
        const QRegularExpression option(QStringLiteral("(?:^|\\s)(--[a-z][a-z-]*)"));
        int options = 0;
        for (auto m = option.globalMatch(help.out); m.hasNext();) {
            const QString name = m.next().captured(1);
            ++options;
            EXPECT_TRUE(text.contains(name)) << page << " lacks " << name.toStdString();
        }
        EXPECT_GT(options, 5) << program;
        for (const char *section : {".SH EXIT STATUS", ".SH ENVIRONMENT", ".SH FILES", ".SH EXAMPLES"})
            EXPECT_TRUE(text.contains(QLatin1String(section))) << page << " " << section;
        EXPECT_TRUE(text.contains(QLatin1String("EJOURNAL_USB_IDS"))) << page;
        EXPECT_TRUE(text.contains(QLatin1String("QT_LOGGING_RULES"))) << page;
    }
}

// The desktop's view of the package: the AppStream data as a software
// centre validates it, the launcher, an icon drawn without a font.
TEST(DesktopData, MetainfoLauncherAndIconAreValid)
{
    const QString packaging = QStringLiteral(EJOURNAL_PACKAGING_DIR);
    const ProgramRun metainfo =
        run("appstreamcli", {QStringLiteral("validate"), QStringLiteral("--no-net"),
                             packaging + QStringLiteral("/invalid.ejournal.ejournal.metainfo.xml")});
    EXPECT_EQ(metainfo.status, 0) << metainfo.out.toStdString() << metainfo.err.toStdString();
    const ProgramRun launcher = run("desktop-file-validate", {packaging + QStringLiteral("/ejournal.desktop")});
    EXPECT_EQ(launcher.status, 0) << launcher.out.toStdString() << launcher.err.toStdString();
    EXPECT_TRUE(launcher.out.isEmpty()) << launcher.out.toStdString();
    QFile icon(packaging + QStringLiteral("/ejournal.svg"));
    ASSERT_TRUE(icon.open(QIODevice::ReadOnly));
    const QByteArray svg = icon.readAll();
    EXPECT_FALSE(svg.contains("<text")) << "an icon must not depend on an installed font";
}

// What `cmake --install` gives in a prefix of its own: programs that start
// without ldconfig or LD_LIBRARY_PATH, finding their library beside them.
TEST(Install, ProgramsStartFromAnotherPrefix)
{
    QTemporaryDir prefix;
    const ProgramRun install = run("cmake", {QStringLiteral("--install"), QStringLiteral(EJOURNAL_BUILD_DIR),
                                             QStringLiteral("--prefix"), prefix.path()});
    ASSERT_EQ(install.status, 0) << install.out.toStdString() << install.err.toStdString();
    const QList<std::pair<QString, QString>> bare = {{QStringLiteral("LD_LIBRARY_PATH"), QString()}};
    const ProgramRun window =
        run(qPrintable(prefix.filePath(QStringLiteral("bin/ejournal"))), {QStringLiteral("--version")}, bare);
    EXPECT_EQ(window.status, 0) << window.err.toStdString();
    EXPECT_TRUE(window.out.startsWith(QLatin1String("ejournal 1."))) << window.out.toStdString();
    const ProgramRun reader = run(qPrintable(prefix.filePath(QStringLiteral("bin/ejournal-read"))),
                                  words("--simulator --sim-documents 3 --info"), bare);
    EXPECT_EQ(reader.status, 0) << reader.err.toStdString();
    EXPECT_TRUE(reader.out.contains(QLatin1String("Stored documents: 3"))) << reader.out.toStdString();
    for (const char *page : {"share/man/man1/ejournal.1.gz", "share/man/man1/ejournal-read.1.gz",
                             "share/ejournal/translations/ejournal_bs.qm"})
        EXPECT_TRUE(QFile::exists(prefix.filePath(QString::fromLatin1(page)))) << page;
}

} // namespace
