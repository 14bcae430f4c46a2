#include "AnswerFaults.h"

#include <algorithm>

std::optional<WireAnswer> AnswerOnTheWire(const std::optional<SimulatedJournal::Reply> &reply,
                                          const std::vector<FaultPlan::Fault> &faults, qint64 latencyUs,
                                          std::mt19937_64 &random)
{
    using K = FaultPlan::Kind;
    auto fault = [&](K kind) -> const FaultPlan::Fault * {
        const auto it = std::find_if(faults.begin(), faults.end(), [kind](const auto &f) { return f.kind == kind; });
        return it == faults.end() ? nullptr : &*it;
    };
    if (!reply || fault(K::Drop))
        return std::nullopt;

    AnswerFrame frame = reply->frame;
    if (const FaultPlan::Fault *f = fault(K::ErrorFrame))
        frame = SimulatedJournal::errorFrame(frame[3], quint8(f->value));
    if (fault(K::BadLength)) {
        frame[0] = 0x00;
        frame[1] = 0xFE;
    }
    if (fault(K::Garbage)) {
        for (quint8 &b : frame)
            b = quint8(random());
    }

    WireAnswer answer;
    answer.delayUs = latencyUs + reply->delayUs;
    if (const FaultPlan::Fault *f = fault(K::Slow))
        answer.delayUs += f->durationUs;
    if (const FaultPlan::Fault *f = fault(K::Late)) {
        answer.delayUs += f->durationUs;
        answer.survivesReopen = true;
    }
    if (const FaultPlan::Fault *f = fault(K::Noise)) {
        for (int k = 0; k < f->value; ++k)
            answer.bytes.append(char(random()));
    }
    answer.bytes.append(reinterpret_cast<const char *>(frame.data()), AnswerFrameSize);
    return answer;
}
