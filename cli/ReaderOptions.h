#pragma once

#include "simulator/SimulatedUsb.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

// What the headless reader was asked to do.
struct ReaderOptions
{
    enum class Verb { None, Info, Numbers, Dates, All };

    bool simulator = false;
    // The simulated journal; its device type is also the type a journal on
    // USB is read as.
    SimulatorOptions sim;
    QString directory; // empty: the current directory
    bool decoded = false;
    bool trace = false;
    bool json = false;  // the documents as JSON Lines on standard output
    bool quiet = false; // no progress on standard error
    bool help = false;
    bool version = false;

    Verb verb = Verb::None;
    QString fromNumber, toNumber; // kept as typed: the search checks them
    QDate fromDate, toDate;
    QTime fromTime, toTime;
};

// Parses the arguments after the program name. On a mistake returns nothing
// and says what was wrong in error.
std::optional<ReaderOptions> ParseReaderOptions(const QStringList &args, QString *error);

QString ReaderUsage();
