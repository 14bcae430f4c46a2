#pragma once

#include <stdexcept>
#include <string>

// Failures of the field codecs. Their messages are the texts the user sees in
// an error box, so they are kept exactly as the journal tools have always
// shown them.
class CodecError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A failed digit check while packing BCD: "Assertion failure (MainUnit, line 440)".
class EAssertionFailed : public CodecError
{
public:
    EAssertionFailed(const char *unitName, int checkNumber);
    int checkNumber() const { return m_checkNumber; }

private:
    int m_checkNumber;
};

// A date word naming a day its month does not have.
class EConvertError : public CodecError
{
public:
    EConvertError();
};

inline constexpr const char *InvalidDateText = "Invalid argument to date encode";
