#pragma once

#include <QString>

#include <optional>
#include <vector>

// Faults the simulated journal injects, by request number (the n-th write to
// the journal, counted from 1) or at random from a seed.
//
// Text form, items separated by commas:
//   drop@N          no answer to request N
//   errorC@N        an error frame with code C (0..255) instead of the answer
//   badlen@N        the answer's length bytes read 00 FE
//   garbage@N       255 random bytes instead of the answer
//   noise@N:K       K stray bytes before the answer
//   shortwrite@N    the write reports one byte less than asked and is lost
//   writefail@N     the write fails
//   readfail@N      reading the answer fails
//   unplug@N[:T]    the device vanishes at request N, back after T (forever without)
//   slow@N:T        the answer to request N comes T late
//   late@N:T        the answer to request N comes T late and, like bytes
//                   already in the bridge chip, survives a close and reopen
//   latency=T       every answer comes T after its request
//   random=P        each request meets a random fault with probability P
//   seed=S          seed of the random faults
// Durations take us, ms or s (2ms, 1.5s); a bare number is milliseconds.
struct FaultPlan
{
    enum class Kind {
        Drop,
        ErrorFrame,
        BadLength,
        Garbage,
        Noise,
        ShortWrite,
        WriteFail,
        ReadFail,
        Unplug,
        Slow,
        Late
    };

    struct Fault
    {
        Kind kind = Kind::Drop;
        quint64 request = 0;
        int value = 0;          // error code, or stray byte count
        qint64 durationUs = -1; // unplug: how long the device stays away (-1 forever); slow, late: the delay
    };

    std::vector<Fault> scripted;
    qint64 latencyUs = 0;
    double randomRate = 0.0;
    quint64 randomSeed = 1;

    bool empty() const { return scripted.empty() && latencyUs == 0 && randomRate <= 0.0; }
    // The scripted faults of request number request.
    std::vector<Fault> scriptedFor(quint64 request) const;

    // Parses the text form; on a mistake returns nothing and says why in error.
    static std::optional<FaultPlan> parse(const QString &text, QString *error);
};
