#pragma once

#include "protocol/Packets.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

// A 255-byte answer frame from the fuzzer's bytes, zero-padded.
inline AnswerFrame FrameFrom(const uint8_t *data, size_t size)
{
    AnswerFrame f{};
    std::memcpy(f.data(), data, size < f.size() ? size : f.size());
    return f;
}

// A failed check is a crash the fuzzer reports.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            __builtin_trap();                                                                                          \
    } while (false)
