#include "journal/DocumentIndex.h"
#include "tests/support/EmulatedBridgeChip.h"
#include "protocol/ExchangeEngine.h"
#include "journal/FileNaming.h"
#include "protocol/IdentityDisplay.h"
#include "journal/JournalSearch.h"
#include "platform/usbxpress/LibusbUsbXpress.h"
#include "protocol/UserPort.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <future>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

// The real libusb backend, unmodified, under the real libusb, against an
// emulated bridge chip: what a person with a journal on the desk would get.
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr quint64 Seed = 11;
constexpr quint32 Documents = 25;

SimulatorOptions Journal(DeviceType type = DeviceType::CashRegister, const QString &faults = {})
{
    SimulatorOptions o;
    o.seed = Seed;
    o.documents = Documents;
    o.deviceType = type;
    if (!faults.isEmpty()) {
        QString error;
        o.faults = *FaultPlan::parse(faults, &error);
    }
    return o;
}

const QByteArray IdentityRequest("\x05\x00\x01\x84\x00", 5);

// The emulated chip with the real backend's link to it open.
struct OpenLink
{
    explicit OpenLink(const SimulatorOptions &options = Journal(), LibusbObserver observer = {})
        : chip(options)
        , usb({}, std::move(observer))
    {
        quint32 count = 0;
        usb.SI_GetNumDevices(&count);
        EXPECT_EQ(count, 1u);
        EXPECT_EQ(usb.SI_Open(0, &handle), SI_SUCCESS);
    }
    SI_STATUS write(const QByteArray &bytes)
    {
        quint32 written = 0;
        return usb.SI_Write(handle, bytes.constData(), quint32(bytes.size()), &written);
    }
    SI_STATUS read(quint32 &got) { return usb.SI_Read(handle, frame, AnswerFrameSize, &got); }

    EmulatedBridgeChip chip;
    LibusbUsbXpress usb;
    SI_HANDLE handle = 0;
    unsigned char frame[AnswerFrameSize] = {};
};

// A call that must come back: a hang ends the whole test program with a
// message, rather than leaving CI waiting for its time-out.
template <class F>
auto Within(std::chrono::seconds limit, const char *what, F &&f)
{
    auto result = std::async(std::launch::async, std::forward<F>(f));
    if (result.wait_for(limit) != std::future_status::ready) {
        std::fprintf(stderr, "HUNG: %s did not return within %lld s\n", what, qlonglong(limit.count()));
        std::fflush(stderr);
        std::_Exit(3);
    }
    return result.get();
}

struct ReaderRun
{
    int status = -1;
    QString out;
    QString err;
};

QProcess *StartReader(const QStringList &args, const QString &dir, const QStringList &extraEnv = {})
{
    auto *p = new QProcess;
    QStringList env = QProcess::systemEnvironment();
    env << extraEnv;
    p->setEnvironment(env);
    p->setWorkingDirectory(dir);
    p->start(QStringLiteral(EJOURNAL_READ_PATH), args);
    return p;
}

ReaderRun Finish(QProcess *p, int timeoutMs = 90000)
{
    EXPECT_TRUE(p->waitForFinished(timeoutMs)) << "ejournal-read did not finish";
    ReaderRun r{p->exitCode(), QString::fromLocal8Bit(p->readAllStandardOutput()),
                QString::fromLocal8Bit(p->readAllStandardError())};
    delete p;
    return r;
}

ReaderRun Reader(const QStringList &args, const QString &dir, const QStringList &extraEnv = {})
{
    return Finish(StartReader(args, dir, extraEnv));
}

QStringList SimulatorArgs()
{
    return {QStringLiteral("--simulator"), QStringLiteral("--sim-seed"), QString::number(Seed),
            QStringLiteral("--sim-documents"), QString::number(Documents)};
}

QStringList TypeArgs(DeviceType type)
{
    return {QStringLiteral("--device-type"),
            type == DeviceType::FiscalPrinter ? QStringLiteral("fiscal-printer") : QStringLiteral("cash-register")};
}

// Every file a run left in dir, by name.
std::map<QString, QByteArray> Files(const QString &dir)
{
    std::map<QString, QByteArray> files;
    for (const QString &name : QDir(dir).entryList(QDir::Files)) {
        QFile f(dir + QLatin1Char('/') + name);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        files[name] = f.readAll();
    }
    return files;
}

QByteArray JournalFile(const QString &dir)
{
    const QStringList names = QDir(dir).entryList({QStringLiteral("Original_*.txt")}, QDir::Files);
    if (names.size() != 1)
        return {};
    QFile f(dir + QLatin1Char('/') + names.first());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The reference: the same search on the simulated journal behind the
// simulator's own USBXpress stand-in.
ReaderRun Reference(const QStringList &search, DeviceType type, const QString &dir)
{
    return Reader(SimulatorArgs() + TypeArgs(type) + search, dir);
}

// ---- Searches give what the simulator gives ------------------------------------

struct SearchCase
{
    const char *name;
    DeviceType type;
    QStringList args;
};

class SearchThroughTheRealBackend : public testing::TestWithParam<SearchCase>
{
};

TEST_P(SearchThroughTheRealBackend, FilesEqualTheSimulatorsByteForByte)
{
    const SearchCase &c = GetParam();
    EmulatedBridgeChip chip(Journal(c.type));
    QTemporaryDir real, simulated;
    const ReaderRun r = Reader(TypeArgs(c.type) + c.args, real.path());
    const ReaderRun s = Reference(c.args, c.type, simulated.path());
    ASSERT_EQ(s.status, 0) << s.err.toStdString();
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, s.out);
    EXPECT_FALSE(r.out.isEmpty());
    EXPECT_FALSE(r.out.startsWith(QLatin1String("Found 0 documents"))) << "the case reads nothing";
    const auto realFiles = Files(real.path());
    const auto simulatedFiles = Files(simulated.path());
    EXPECT_EQ(realFiles.size(), simulatedFiles.size());
    for (const auto &[name, bytes] : simulatedFiles) {
        ASSERT_TRUE(realFiles.count(name)) << name.toStdString();
        EXPECT_EQ(realFiles.at(name), bytes) << name.toStdString();
    }
}

const QString Decoded = QStringLiteral("--decoded");
INSTANTIATE_TEST_SUITE_P(
    EveryMode, SearchThroughTheRealBackend,
    testing::Values(SearchCase{"Info", DeviceType::CashRegister, {QStringLiteral("--info")}},
                    SearchCase{"NumbersCashRegister",
                               DeviceType::CashRegister,
                               {Decoded, QStringLiteral("--numbers"), QStringLiteral("3"), QStringLiteral("9")}},
                    SearchCase{"NumbersFiscalPrinter",
                               DeviceType::FiscalPrinter,
                               {Decoded, QStringLiteral("--numbers"), QStringLiteral("3"), QStringLiteral("9")}},
                    SearchCase{"Dates",
                               DeviceType::CashRegister,
                               {Decoded, QStringLiteral("--dates"), QStringLiteral("2025-01-17"),
                                QStringLiteral("00:00:00"), QStringLiteral("2025-01-18"), QStringLiteral("23:59:59")}},
                    SearchCase{"AllCashRegister", DeviceType::CashRegister, {Decoded, QStringLiteral("--all")}},
                    SearchCase{"AllFiscalPrinter", DeviceType::FiscalPrinter, {Decoded, QStringLiteral("--all")}}),
    [](const testing::TestParamInfo<SearchCase> &p) { return std::string(p.param.name); });

// ---- What the device sees -------------------------------------------------------

std::vector<quint16> VendorRequests(const EmulatedBridgeChip &chip)
{
    std::vector<quint16> values;
    for (const auto &e : chip.events()) {
        if (e.kind == EmulatedBridgeChip::Event::Vendor)
            values.push_back(e.value);
    }
    return values;
}

TEST(EmulatedBridgeChip, SeesEnableFlushDisableInOrderAndAZeroLengthPacketAfterAFullOne)
{
    EmulatedBridgeChip chip(Journal());
    LibusbUsbXpress usb;
    quint32 count = 0;
    ASSERT_EQ(usb.SI_GetNumDevices(&count), SI_SUCCESS);
    ASSERT_EQ(count, 1u);
    SI_HANDLE h = 0;
    ASSERT_EQ(usb.SI_Open(0, &h), SI_SUCCESS);
    EXPECT_EQ(VendorRequests(chip), (std::vector<quint16>{0x0002}));
    ASSERT_EQ(usb.SI_FlushBuffers(h, 1, 1), SI_SUCCESS);

    const QByteArray full(64, '\x40'); // a request of exactly one packet
    const QByteArray shorter("\x05\x00\x01\x84\x00", 5);
    quint32 written = 0;
    ASSERT_EQ(usb.SI_Write(h, full.constData(), 64, &written), SI_SUCCESS);
    EXPECT_EQ(written, 64u);
    ASSERT_EQ(usb.SI_Write(h, shorter.constData(), 5, &written), SI_SUCCESS);
    ASSERT_EQ(usb.SI_Close(h), SI_SUCCESS);
    EXPECT_EQ(VendorRequests(chip), (std::vector<quint16>{0x0002, 0x0001, 0x0004}));

    std::vector<QByteArray> out;
    for (const auto &e : chip.events()) {
        if (e.kind == EmulatedBridgeChip::Event::BulkOut)
            out.push_back(e.bytes);
    }
    EXPECT_EQ(out, (std::vector<QByteArray>{full, QByteArray(), shorter}));
}

TEST(EmulatedBridgeChip, AnswersFramesOfTheSimulatedJournal)
{
    OpenLink link;
    char text[SI_MAX_DEVICE_STRLEN];
    ASSERT_EQ(link.usb.SI_GetProductString(0, text, SI_RETURN_SERIAL_NUMBER), SI_SUCCESS);
    EXPECT_STREQ(text, "e_journal_v01");
    ASSERT_EQ(link.usb.SI_GetProductString(0, text, SI_RETURN_DESCRIPTION), SI_SUCCESS);
    EXPECT_STREQ(text, "USBXpress Device");
    ASSERT_EQ(link.usb.SI_GetProductString(0, text, SI_RETURN_VID), SI_SUCCESS);
    EXPECT_STREQ(text, "10C4");

    link.usb.SI_SetTimeouts(5000, 1000);
    ASSERT_EQ(link.write(IdentityRequest), SI_SUCCESS);
    quint32 got = 0;
    ASSERT_EQ(link.read(got), SI_SUCCESS);
    ASSERT_EQ(got, quint32(AnswerFrameSize));
    const std::optional<SimulatedJournal::Reply> expected = link.chip.journal().handle(IdentityRequest);
    ASSERT_TRUE(expected);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(link.frame), int(got)),
              QByteArray(reinterpret_cast<const char *>(expected->frame.data()), AnswerFrameSize));
    quint32 waiting = 99, status = 0;
    EXPECT_EQ(link.usb.SI_CheckRXQueue(link.handle, &waiting, &status), SI_SUCCESS);
    EXPECT_EQ(waiting, 0u);
    link.usb.SI_Close(link.handle);
}

// ---- A device that goes away ----------------------------------------------------

TEST(EmulatedBridgeChip, UnpluggedBetweenCallsEveryCallFailsAtOnce)
{
    OpenLink link;
    link.usb.SI_SetTimeouts(10000, 10000);
    link.chip.unplug();

    quint32 n = 0, status = 0;
    const auto start = Clock::now();
    EXPECT_NE(Within(20s, "SI_Write", [&] { return link.write(IdentityRequest); }), SI_SUCCESS);
    EXPECT_NE(Within(20s, "SI_Read", [&] { return link.read(n); }), SI_SUCCESS);
    EXPECT_NE(link.usb.SI_CheckRXQueue(link.handle, &n, &status), SI_SUCCESS);
    EXPECT_NE(link.usb.SI_FlushBuffers(link.handle, 1, 1), SI_SUCCESS);
    EXPECT_LT(Clock::now() - start, 5s) << "a call waited for a device that is gone";
    EXPECT_EQ(Within(20s, "SI_Close", [&] { return link.usb.SI_Close(link.handle); }), SI_SUCCESS);

    // libusb hears of the removal from the uevent; give it a moment.
    quint32 count = 1;
    const auto deadline = Clock::now() + 5s;
    do {
        link.usb.SI_GetNumDevices(&count);
    } while (count != 0 && Clock::now() < deadline && (std::this_thread::sleep_for(20ms), true));
    EXPECT_EQ(count, 0u);
}

TEST(EmulatedBridgeChip, UnpluggedDuringAReadWakesTheReader)
{
    OpenLink link(Journal(DeviceType::CashRegister, QStringLiteral("drop@1")));
    link.usb.SI_SetTimeouts(30000, 1000);
    ASSERT_EQ(link.write(IdentityRequest), SI_SUCCESS);

    std::thread unplugger([&] {
        std::this_thread::sleep_for(300ms);
        link.chip.unplug();
    });
    quint32 n = 0;
    const auto start = Clock::now();
    const SI_STATUS status = Within(60s, "SI_Read", [&] { return link.read(n); });
    const auto waited = Clock::now() - start;
    unplugger.join();
    EXPECT_NE(status, SI_SUCCESS);
    EXPECT_LT(waited, 10s) << "the read waited out its 30 s time-out for a device that had gone";
    EXPECT_EQ(Within(20s, "SI_Close", [&] { return link.usb.SI_Close(link.handle); }), SI_SUCCESS);
}

// Whole lines of the reference, from its start.
bool IsLinePrefix(const QByteArray &part, const QByteArray &whole, int lineBytes)
{
    return part.size() % lineBytes == 0 && whole.startsWith(part);
}

TEST(EmulatedBridgeChip, SearchUnpluggedForGoodKeepsAPrefixAndTheNextReadsEverything)
{
    EmulatedBridgeChip chip(Journal());
    QTemporaryDir ref, dir;
    ASSERT_EQ(Reference({QStringLiteral("--all")}, DeviceType::CashRegister, ref.path()).status, 0);
    const QByteArray reference = JournalFile(ref.path());

    QProcess *p = StartReader({QStringLiteral("--all")}, dir.path());
    ASSERT_TRUE(chip.waitForRequests(40, 60s));
    chip.unplug();
    const ReaderRun lost = Finish(p);
    EXPECT_EQ(lost.status, 3) << lost.err.toStdString();
    const QByteArray partial = JournalFile(dir.path());
    EXPECT_TRUE(IsLinePrefix(partial, reference, 18 + 2));
    EXPECT_LT(partial.size(), reference.size());

    chip.plugIn();
    const ReaderRun again = Reader({QStringLiteral("--all")}, dir.path());
    ASSERT_EQ(again.status, 0) << again.err.toStdString();
    EXPECT_EQ(JournalFile(dir.path()), reference);
}

TEST(EmulatedBridgeChip, SearchOverAShortUnplugReadsEverything)
{
    EmulatedBridgeChip chip(Journal());
    QTemporaryDir ref, dir;
    ASSERT_EQ(Reference({QStringLiteral("--all")}, DeviceType::CashRegister, ref.path()).status, 0);

    QProcess *p = StartReader({QStringLiteral("--all")}, dir.path());
    ASSERT_TRUE(chip.waitForRequests(40, 60s));
    chip.unplug();
    std::this_thread::sleep_for(1s);
    chip.plugIn();
    const ReaderRun r = Finish(p);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(JournalFile(dir.path()), JournalFile(ref.path()));
}

// ---- Answers late, never, or from a halted endpoint -----------------------------

class LateAnswer : public testing::TestWithParam<const char *>
{
};

TEST_P(LateAnswer, SearchRecoversWithEveryLine)
{
    EmulatedBridgeChip chip(Journal(DeviceType::CashRegister, QString::fromLatin1(GetParam())));
    QTemporaryDir ref, dir;
    const QStringList search{QStringLiteral("--numbers"), QStringLiteral("3"), QStringLiteral("6")};
    ASSERT_EQ(Reference(search, DeviceType::CashRegister, ref.path()).status, 0);
    const ReaderRun r = Reader(search, dir.path());
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(JournalFile(dir.path()), JournalFile(ref.path()));
}

// slow: within the 10 s read time-out; drop: never, so the request is sent again.
INSTANTIATE_TEST_SUITE_P(AnswerFaults, LateAnswer, testing::Values("slow@4:800ms", "drop@4"));

TEST(EmulatedBridgeChip, StalledBulkInIsClearedAndTheReadFailsAtOnce)
{
    OpenLink link;
    link.usb.SI_SetTimeouts(30000, 1000);
    const int submitsBefore = link.chip.inSubmitCount();
    link.chip.stallIn();

    ASSERT_EQ(link.write(IdentityRequest), SI_SUCCESS);
    quint32 n = 0;
    const auto start = Clock::now();
    EXPECT_EQ(Within(60s, "SI_Read", [&] { return link.read(n); }), SI_READ_ERROR);
    EXPECT_LT(Clock::now() - start, 10s) << "the read waited out its time-out on a halted endpoint";
    EXPECT_LT(link.chip.inSubmitCount() - submitsBefore, 10) << "the halted endpoint was resubmitted in a loop";
    EXPECT_FALSE(link.chip.inHalted());
    bool cleared = false;
    for (const auto &e : link.chip.events())
        cleared |= e.kind == EmulatedBridgeChip::Event::ClearHalt && e.value == 0x81;
    EXPECT_TRUE(cleared);

    // Cleared, the link works again.
    ASSERT_EQ(link.usb.SI_FlushBuffers(link.handle, 1, 1), SI_SUCCESS);
    ASSERT_EQ(link.write(IdentityRequest), SI_SUCCESS);
    EXPECT_EQ(link.read(n), SI_SUCCESS);
    EXPECT_EQ(n, quint32(AnswerFrameSize));
    link.usb.SI_Close(link.handle);
}

TEST(EmulatedBridgeChip, ZeroTimeoutsMeanDoNotWaitForWritesAsForReads)
{
    OpenLink link;
    link.usb.SI_SetTimeouts(0, 0);
    link.chip.holdWrites(true);
    EXPECT_EQ(Within(20s, "SI_Write with a zero time-out", [&] { return link.write(IdentityRequest); }),
              SI_WRITE_TIMED_OUT);
    quint32 n = 0;
    EXPECT_EQ(Within(20s, "SI_Read with a zero time-out", [&] { return link.read(n); }), SI_READ_TIMED_OUT);
    link.chip.holdWrites(false);
    link.usb.SI_Close(link.handle);
}

// ---- Closing while the event thread resubmits -------------------------------------

std::atomic<int> g_resubmits{0};
void SlowResubmit()
{
    if (g_resubmits++ == 0)
        std::this_thread::sleep_for(300ms);
}

TEST(EmulatedBridgeChip, CloseDuringAResubmissionReturns)
{
    g_resubmits = 0;
    OpenLink link(Journal(), LibusbObserver{&SlowResubmit});
    // The answer, 150 ms after the write has returned, completes the posted
    // IN transfer; the event thread then stops in the hook, past its look at
    // the stop flag, for 300 ms, and the close comes in that moment.
    link.chip.setLatency(150ms);
    ASSERT_EQ(link.write(IdentityRequest), SI_SUCCESS);
    const auto deadline = Clock::now() + 10s;
    while (g_resubmits.load() == 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    ASSERT_GT(g_resubmits.load(), 0) << "the answer never completed the IN transfer";
    EXPECT_EQ(Within(20s, "SI_Close during a resubmission", [&] { return link.usb.SI_Close(link.handle); }),
              SI_SUCCESS);
}

// ---- What the person at the desk is told -----------------------------------------

TEST(EmulatedBridgeChip, NoPermissionOnTheNodeIsAFailedOpenNotAnotherDevice)
{
    EmulatedBridgeChip chip(Journal());
    QTemporaryDir dir;
    QStringList program{QStringLiteral(EJOURNAL_READ_PATH)};
    if (geteuid() == 0) {
        // root opens anything; the person without the udev rule is not root.
        const QStringList asNobody{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                   QStringLiteral("--clear-groups")};
        QProcess probe;
        probe.start(QStringLiteral("setpriv"),
                    asNobody + QStringList{QStringLiteral(EJOURNAL_READ_PATH), QStringLiteral("--help")});
        if (!probe.waitForFinished(30000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
            GTEST_SKIP() << "the build folder is closed to other users, so the reader cannot run as one";
        // The test bed becomes readable to that user, as sysfs is (and its
        // root writable: the emulated uevent socket is made there); only the
        // node stays root's, as it is without the rule.
        const QString root = QString::fromLocal8Bit(qgetenv("UMOCKDEV_DIR"));
        chmod(root.toLocal8Bit().constData(), 0777);
        QDirIterator it(root, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo f(it.next());
            if (!f.isSymLink())
                chmod(f.filePath().toLocal8Bit().constData(), f.isDir() ? 0755 : 0666);
        }
        ASSERT_EQ(chmod(chip.deviceNodeFile().toLocal8Bit().constData(), 0600), 0);
        chmod(dir.path().toLocal8Bit().constData(), 0777);
        program = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                              QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")}
                  + program;
    } else {
        ASSERT_EQ(chmod(chip.deviceNodeFile().toLocal8Bit().constData(), 0), 0);
    }
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(program.first(), program.mid(1) + QStringList{QStringLiteral("--info")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(QLatin1String("Error opening device: e_journal_v01. Reset hardware and try again.")))
        << err.toStdString();
    EXPECT_TRUE(err.contains(QLatin1String("No communication with device"))) << err.toStdString();
    EXPECT_FALSE(err.contains(QLatin1String("other device"), Qt::CaseInsensitive)) << err.toStdString();
}

TEST(EmulatedBridgeChip, MalformedUsbIdsAreNamedAndTheRestStillWorks)
{
    EmulatedBridgeChip chip(Journal());
    QTemporaryDir dir;
    const ReaderRun r =
        Reader({QStringLiteral("--info")}, dir.path(), {QStringLiteral("EJOURNAL_USB_IDS=bogus,10c4:ea60,10c4:zz")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QLatin1String("\"bogus\" is not vid:pid in hexadecimal, ignored")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QLatin1String("\"10c4:zz\""))) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QLatin1String("10c4:ea60"))) << r.err.toStdString();
}

TEST(EmulatedBridgeChip, TraceCarriesWhatTheBackendSaw)
{
    EmulatedBridgeChip chip(Journal());
    QTemporaryDir dir;
    const ReaderRun traced = Reader({QStringLiteral("--trace"), QStringLiteral("--info")}, dir.path());
    ASSERT_EQ(traced.status, 0) << traced.err.toStdString();
    EXPECT_TRUE(traced.err.contains(QLatin1String("opened 10c4:ea61, interface 0, IN 0x81, OUT 0x01")))
        << traced.err.toStdString();
    const ReaderRun quiet = Reader({QStringLiteral("--info")}, dir.path());
    EXPECT_TRUE(quiet.err.isEmpty()) << quiet.err.toStdString();
}

} // namespace

// ---- The journal that is read is the journal that was asked --------------------

namespace {

SimulatorOptions OtherJournal(DeviceType type = DeviceType::CashRegister)
{
    SimulatorOptions o = Journal(type);
    o.seed = Seed + 40; // another fiscal memory number
    return o;
}

QString FiscalMemoryOf(const SimulatedJournal &journal)
{
    data_132 id;
    const auto &f = journal.identity().fiscalMemory;
    std::copy(f.begin(), f.end(), id.fisc_ser_num.begin());
    return FiscalMemoryText(id);
}

QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(EmulatedBridgeChip, AnotherJournalPluggedInMidSearchEndsItWithTheFirstJournalsLinesOnly)
{
    EmulatedBridgeChip chip(Journal());
    const QString first = FiscalMemoryOf(chip.journal());
    QTemporaryDir ref, dir;
    ASSERT_EQ(Reference({QStringLiteral("--all")}, DeviceType::CashRegister, ref.path()).status, 0);
    const QByteArray reference = JournalFile(ref.path());

    QProcess *p = StartReader({QStringLiteral("--all")}, dir.path());
    ASSERT_TRUE(chip.waitForRequests(40, 60s));
    chip.unplug();
    std::this_thread::sleep_for(300ms);
    chip.plugInAnother(OtherJournal());
    ASSERT_NE(FiscalMemoryOf(chip.journal()), first);
    const ReaderRun r = Finish(p);
    EXPECT_EQ(r.status, 3) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QLatin1String("Another journal was attached; the read stopped.")))
        << r.err.toStdString();
    const QString journalPath = dir.filePath(JournalFileName(first));
    const QByteArray kept = FileBytes(journalPath);
    EXPECT_TRUE(IsLinePrefix(kept, reference, 18 + 2)) << "only the first journal's lines, whole";
    EXPECT_LT(kept.size(), reference.size());
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("Original_*.txt")}, QDir::Files).size(), 1);
    DocumentIndex index;
    EXPECT_TRUE(index.open(dir.filePath(DocumentIndexFileName(first)), kept.size() / 20))
        << index.error().toStdString();
}

TEST(EmulatedBridgeChip, AnotherJournalPluggedInBetweenTwoSearchesNamesTheNextFiles)
{
    EmulatedBridgeChip chip(Journal());
    QTemporaryDir dir, ref;
    LibusbUsbXpress usb;
    ExchangeState state;
    CommandQueue commands;
    AnswerRecords records;
    UserPort port; // nobody watches
    ManualTickTimer timer;
    ExchangeEngine engine(usb, state, commands, records, port, timer);
    ExchangeContext ctx{usb, state, commands, records, port};
    FindConnectDevice(ctx);
    ASSERT_NE(state.DevHandle, 0u);
    get_info_initial(commands);
    auto tickUntil = [&](const std::function<bool()> &done) {
        const auto deadline = Clock::now() + 30s;
        while (!done() && Clock::now() < deadline) {
            engine.ReadTimerTimer();
            std::this_thread::sleep_for(2ms);
        }
        return done();
    };
    ASSERT_TRUE(tickUntil([&] { return state.identityConfirmed; }));
    const QString first = FiscalMemoryText(records.Data132);

    auto search = [&] {
        SearchRequest r;
        r.mode = SearchRequest::Mode::ByNumbers;
        r.fromNumber = QStringLiteral("2");
        r.toNumber = QStringLiteral("6");
        r.directory = dir.path();
        r.fiscalMemory = FiscalMemoryText(records.Data132); // as the information dialog shows it
        RequestListState requests;
        SearchState searchState;
        SearchView view;
        const JournalSettings settings;
        return JournalSearch(ctx, requests, searchState, settings, timer, view).run(r);
    };
    ASSERT_EQ(search(), JournalSearch::Outcome::Completed);

    chip.unplug();
    ASSERT_TRUE(tickUntil([&] { return state.DevHandle == 0; })) << "the engine sees the chip leave";
    chip.plugInAnother(OtherJournal());
    const QString second = FiscalMemoryOf(chip.journal());
    ASSERT_TRUE(tickUntil([&] { return state.identityConfirmed && state.DevHandle != 0; }));
    EXPECT_EQ(FiscalMemoryText(records.Data132), second) << "the identity is asked again after the reconnection";
    ASSERT_EQ(search(), JournalSearch::Outcome::Completed);
    CloseDevice(usb, state.DevHandle);

    // The second journal's lines, in a file of its own name, as the simulator gives them.
    ASSERT_EQ(Reader(SimulatorArgs()
                         + QStringList{QStringLiteral("--sim-seed"), QString::number(Seed + 40),
                                       QStringLiteral("--numbers"), QStringLiteral("2"), QStringLiteral("6")},
                     ref.path())
                  .status,
              0);
    const QByteArray expected = FileBytes(ref.filePath(JournalFileName(second)));
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(FileBytes(dir.filePath(JournalFileName(second))), expected);
    EXPECT_NE(FileBytes(dir.filePath(JournalFileName(first))), expected) << "the first journal's file is its own";
}

// ---- A wrong device type, the identity's faults, a chip that takes no writes ----

TEST(EmulatedBridgeChip, LinesOfAnotherWidthAreNamedNotWritten)
{
    struct Case
    {
        DeviceType journal, chosen;
        const char *said;
    };
    const Case cases[] = {
        {DeviceType::CashRegister, DeviceType::FiscalPrinter,
         "The journal's lines are 18 characters long: choose Cash Register."},
        {DeviceType::FiscalPrinter, DeviceType::CashRegister,
         "The journal's lines are 32 characters long: choose Fiscal Printer."},
    };
    for (const Case &c : cases) {
        EmulatedBridgeChip chip(Journal(c.journal));
        QTemporaryDir dir;
        const ReaderRun r = Reader(
            TypeArgs(c.chosen) + QStringList{QStringLiteral("--numbers"), QStringLiteral("3"), QStringLiteral("5")},
            dir.path());
        EXPECT_EQ(r.status, 3) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.said))) << r.err.toStdString();
        EXPECT_EQ(JournalFile(dir.path()), QByteArray()) << "no garbled line";
    }
}

TEST(EmulatedBridgeChip, IdentitySurvivesAStrayByteALateAnswerAndALostOne)
{
    // noise: a stray byte before the answer; slow: 35 ms and 700 ms late, far
    // past two ticks; drop: the first request is never answered.
    for (const char *faults : {"noise@1:1", "slow@1:35ms", "slow@1:700ms", "drop@1"}) {
        EmulatedBridgeChip chip(Journal(DeviceType::CashRegister, QString::fromLatin1(faults)));
        QTemporaryDir dir;
        const ReaderRun r = Reader({QStringLiteral("--info")}, dir.path());
        EXPECT_EQ(r.status, 0) << faults << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QLatin1String("Fiscal memory No: ") + FiscalMemoryOf(chip.journal()))) << faults;
        EXPECT_FALSE(r.err.contains(QLatin1String("error code"))) << faults << ": " << r.err.toStdString();
    }
}

TEST(EmulatedBridgeChip, AChipThatTakesNoWritesNeverFreezesTheReadAndCancelWorks)
{
    EmulatedBridgeChip chip(Journal());
    LibusbUsbXpress usb;
    ExchangeState state;
    CommandQueue commands;
    AnswerRecords records;
    ManualTickTimer timer;

    // Times when the window would have been let live, and a cancel 500 ms in.
    struct Watch final : NullProgressPort
    {
        Clock::time_point start = Clock::now();
        Clock::time_point last = Clock::now();
        Clock::duration longestGap{};
        void keepAlive() override
        {
            const auto now = Clock::now();
            longestGap = std::max(longestGap, now - last);
            last = now;
        }
        bool cancelRequested() override { return Clock::now() - start > 500ms; }
    } port;
    ExchangeContext ctx{usb, state, commands, records, port};
    FindConnectDevice(ctx);
    ASSERT_NE(state.DevHandle, 0u);
    state.identityConfirmed = true;
    chip.holdWrites(true);

    RequestListState requests;
    requests.CmdList.appendDocumentRange(CmdDocumentInfo, 1, 3);
    NullLineSink sink;
    const JournalSettings settings;
    RequestListExchange exchange(ctx, requests, settings, sink);
    port.start = port.last = Clock::now();
    const RequestListExchange::End end =
        Within(60s, "a search on a chip that takes no writes", [&] { return exchange.Run(); });
    const auto took = Clock::now() - port.start;
    EXPECT_EQ(end, RequestListExchange::End::Cancelled);
    EXPECT_LT(took, 3s) << "the cancel was heard while the write waited";
    EXPECT_LT(port.longestGap, 250ms) << "the window was not let live while the write waited";
    chip.holdWrites(false);
    CloseDevice(usb, state.DevHandle);
}
