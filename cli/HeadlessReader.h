#pragma once

#include "protocol/ExchangeState.h"
#include "protocol/UserPort.h"
#include "ReaderOptions.h"

#include <cstdio>

class SIUSBXP;

// The headless reader's work once its arguments are known: find the journal,
// ask for its identity through the exchange engine, then print it or run the
// search, exactly as the window's search does.
class HeadlessReader
{
public:
    enum ExitStatus {
        ExitDone = 0,
        ExitNoDevice = 1,
        ExitBadArguments = 2,
        ExitSearchFailed = 3,
        ExitNothingRead = 4,
        ExitCancelled = 130
    };

    // How long the identity may take before the reader gives up; the engine
    // ends each of its tries well before (a second each, three tries).
    static constexpr int IdentityWaitLimitMs = 10000;

    HeadlessReader(SIUSBXP &usb, const ReaderOptions &options, UserPort port, FILE *out);

    // sleepBetweenTicks: false runs the ticks back to back (tests).
    int run(bool sleepBetweenTicks = true);

private:
    void nameUntoldErrorCode(const AnswerRecords &records);

    SIUSBXP &m_usb;
    const ReaderOptions &m_options;
    UserPort m_port;
    FILE *m_out;
};
