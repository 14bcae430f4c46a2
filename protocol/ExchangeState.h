#pragma once

#include "DeviceModels.h"
#include "TickTimer.h"
#include "Packets.h"
#include "SIUSBXP.h"

#include <optional>

// The link's flags, shared by the exchange engine and the search's request
// list exchange, which never run at the same time.
struct ExchangeState
{
    SI_HANDLE DevHandle = 0;
    bool SendReady = true;
    bool SendPending = false;
    bool AwaitingAnswer = false;
    quint16 WaitTicks = 0;
    quint32 ReconnectTicks = 0;
    quint16 timeout = DefaultAnswerTimeoutTicks; // answer time-out of the engine, in ticks
    // An identity answer came since the device was last opened. Every journal
    // calls itself "e_journal_v01", so after a reconnection the device may be
    // another journal: nothing else is sent until it has said which it is.
    bool identityConfirmed = false;
};

// The last answer of each kind.
struct AnswerRecords
{
    data_122 Data122;
    data_123 Data123;
    data_124 Data124;
    data_130 Data130;
    data_132 Data132;
    bool identityReceived = false;
    // Code of the last error frame, for whoever must say why a wait ended
    // when the code has no text of its own (0 is a code like any other).
    std::optional<quint8> lastErrorCode;
};
