#pragma once

// The Functions library: three field conversions with a C interface, for the
// information and diagnostic windows and for anything outside the program
// that wants the journal's own reading of a date or time word.

#include <stdint.h>

#if defined(_WIN32)
#define EJ_FUNCTIONS_API __declspec(dllexport)
#else
#define EJ_FUNCTIONS_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

// A date as the journal decodes it. ok is 0 when the word names a day its
// month does not have; the message is then "Invalid argument to date encode".
typedef struct EjDate
{
    int32_t year;
    int32_t month;
    int32_t day;
    int32_t ok;
} EjDate;

typedef struct EjTime
{
    int32_t hour;
    int32_t minute;
    int32_t second;
} EjTime;

EJ_FUNCTIONS_API uint16_t SwpEndianW(int32_t value);
EJ_FUNCTIONS_API EjDate DecodeDateVuze(int32_t word);
EJ_FUNCTIONS_API EjTime DecodeTimeVuze(int32_t word);
// The text of the last failed conversion on this thread, or "" after success.
EJ_FUNCTIONS_API const char *FunctionsLastError(void);

#ifdef __cplusplus
}
#endif
