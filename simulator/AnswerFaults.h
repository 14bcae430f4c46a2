#pragma once

#include "FaultPlan.h"
#include "SimulatedJournal.h"

#include <QByteArray>

#include <optional>
#include <random>
#include <vector>

// What the journal device puts on the wire for its reply under the faults
// planned for the request: nothing when the answer is dropped, otherwise the
// bytes (stray ones first) and how long after the request they are ready.
// The simulated USBXpress library and the emulated bridge chip both send it.
struct WireAnswer
{
    QByteArray bytes;
    qint64 delayUs = 0;
    bool survivesReopen = false; // a late answer still inside the chip when the host reopens it
};

std::optional<WireAnswer> AnswerOnTheWire(const std::optional<SimulatedJournal::Reply> &reply,
                                          const std::vector<FaultPlan::Fault> &faults, qint64 latencyUs,
                                          std::mt19937_64 &random);
