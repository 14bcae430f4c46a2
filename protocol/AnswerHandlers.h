#pragma once

#include "DeviceLink.h"
#include "ExchangeState.h"
#include "UserPort.h"
class SIUSBXP;

// What the engine and the request list exchange both do with the link and the
// answers: they share the state, the records and the user port.
struct ExchangeContext
{
    SIUSBXP &usb;
    ExchangeState &state;
    CommandQueue &Commands;
    AnswerRecords &records;
    UserPort port;
};

// Answers to initialise (131), erase (254) and generate (255): the wait ends,
// the time-out returns to normal, the user is told, and a fresh identity is
// asked for once the box is closed.
void HandleServiceAnswer(ExchangeContext &ctx, quint8 command);

// An identity answer (132): into Data132 and onto the information dialog. A
// date word naming no real day is reported in an error box and ends the wait.
void HandleIdentityAnswer(ExchangeContext &ctx, const AnswerFrame &frame);

// The answers acted on wherever they come, in the engine's ticks or in a
// search: a service command's and the identity. False for any other command,
// which is left to the caller.
bool HandleServiceOrIdentityAnswer(ExchangeContext &ctx, const AnswerFrame &frame);

// The answer did not come in time.
void HandleAnswerTimeout(ExchangeContext &ctx);

// The frame's length bytes disagree with the bytes read: report and flush,
// the frame is still used.
void CheckFrameLength(ExchangeContext &ctx, const AnswerFrame &frame, quint32 bytesRead);

// The steps the engine's tick and the search's loop share; the loops around
// them differ, but a fix to a step lands once.

struct WriteResult
{
    bool ok = false; // every byte went out
    quint32 written = 0;
    quint32 toWrite = 0;
    bool cancelled = false; // the user cancelled before the device took it
};
struct ReadResult
{
    bool ok = false; // the link gave a whole frame
    quint32 read = 0;
    bool lengthAgrees = false; // the frame's length bytes say what was read
    bool cancelled = false;    // the user cancelled while it was awaited
};
// Reads one answer frame. A frame that came has its length checked (label
// and flush on a mismatch) and ends the wait count.
ReadResult ReadAnswerFrame(ExchangeContext &ctx, AnswerFrame &frame);

// How long one slice of a sliced write waits for the device to take the
// request; the slices add up to the link's write time-out.
constexpr quint32 WriteSliceMs = 50;

// Writes one request: from now on an answer is awaited and the wait count
// starts again; the error label's text goes. It waits for the device to take
// the request in slices of WriteSliceMs, up to the link's write time-out,
// keeping the window alive between them, so a device that does not take
// writes never freezes it. A cancel seen between slices gives up the
// request, which has not gone out. (The engine's tick, which must not let
// the window in, writes a slice a tick instead.)
WriteResult WriteRequestInSlices(ExchangeContext &ctx, const Tusb_cmd &packet);

// How long one slice of a sliced read waits, and how long an answer already
// on its way may still take once the user has cancelled.
constexpr quint32 ReadSliceMs = 50;
constexpr quint32 CancelGraceMs = 1000;

// The same, but waiting for the frame in slices of ReadSliceMs, up to the
// link's read time-out in all, and keeping the window alive between them; a
// window would otherwise be frozen for as long as a device is late. A cancel
// seen between slices leaves the answer CancelGraceMs more to come.
ReadResult ReadAnswerFrameInSlices(ExchangeContext &ctx, AnswerFrame &frame);

// An error frame: its code on the label (kept for whoever must name a code
// without a text), the progress dialog closed, the Find button enabled, the
// wait over.
void HandleErrorFrame(ExchangeContext &ctx, const AnswerFrame &frame);

// Discovery from inside a tick or a search: its boxes are deferred like every
// other box opened from there. A device it opens has not said yet which
// journal it is (identityConfirmed is cleared); true when it opened one.
bool FindConnectDeviceDeferred(ExchangeContext &ctx);
// The same with the boxes shown at once, for a search that lets the window
// live around them.
bool FindConnectDevice(ExchangeContext &ctx);
