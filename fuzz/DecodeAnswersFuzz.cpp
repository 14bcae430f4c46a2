// Every answer record decoded from any frame, and the identity shown from it.
#include "protocol/CodecErrors.h"
#include "FuzzSupport.h"
#include "protocol/IdentityDisplay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const AnswerFrame frame = FrameFrom(data, size);
    data_122 r122;
    data_123 r123;
    data_124 r124;
    data_130 r130;
    data_132 r132;
    DecodeAnswer(frame, r122);
    DecodeAnswer(frame, r123);
    DecodeAnswer(frame, r124);
    DecodeAnswer(frame, r130);
    DecodeAnswer(frame, r132);
    FUZZ_CHECK(r124.content_len >= 0 && r124.content_len <= int(r124.content.size()));
    FUZZ_CHECK(r130.content_len >= 0 && r130.content_len <= int(r130.content.size()));
    try {
        const IdentityTexts t = IdentityDisplay(r132);
        FUZZ_CHECK(t.fiscalMemory.size() <= 8);
    } catch (const CodecError &) {
        // an impossible date: reported, not a crash
    }
    return 0;
}
