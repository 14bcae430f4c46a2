#pragma once

#include "DeviceLink.h"
#include "ExchangeState.h"

class UserPort;
class SIUSBXP;

// What the engine and the request list exchange both do with the link and the
// answers: they share the state, the records and the user port.
struct ExchangeContext
{
    SIUSBXP &usb;
    ExchangeState &state;
    CommandQueue &Commands;
    AnswerRecords &records;
    UserPort &port;
};

// Answers to initialise (131), erase (254) and generate (255): the wait ends,
// the time-out returns to normal, the user is told, and a fresh identity is
// asked for once the box is closed.
void HandleServiceAnswer(ExchangeContext &ctx, quint8 command);

// An identity answer (132): into Data132 and onto the information dialog. A
// date word naming no real day is reported in an error box and ends the wait.
void HandleIdentityAnswer(ExchangeContext &ctx, const AnswerFrame &frame);

// The answer did not come in time.
void HandleAnswerTimeout(ExchangeContext &ctx);

// The frame's length bytes disagree with the bytes read: report and flush,
// the frame is still used.
void CheckFrameLength(ExchangeContext &ctx, const AnswerFrame &frame, quint32 bytesRead);

// Discovery from inside a tick or a search: its boxes are deferred like every
// other box opened from there.
void FindConnectDeviceDeferred(ExchangeContext &ctx);
