#include "protocol/CodecErrors.h"
#include "protocol/Codecs.h"
#include "platform/functions/Functions.h"

#include <gtest/gtest.h>

namespace {

// The library is what the windows call; it must read every word exactly as
// the codecs do, so the information dialog's warning and its date agree.
TEST(FunctionsLibrary, AgreesWithTheCodecsOnEveryWord)
{
    for (int w = 0; w <= 0xFFFF; ++w) {
        ASSERT_EQ(::SwpEndianW(int32_t(w)), Codecs::SwpEndianW(quint16(w))) << w;

        const EjTime t = ::DecodeTimeVuze(int32_t(w));
        const QTime expectedTime = Codecs::DecodeTimeVuze(quint16(w));
        ASSERT_EQ(QTime(t.hour, t.minute, t.second), expectedTime) << w;

        const EjDate d = ::DecodeDateVuze(int32_t(w));
        try {
            const QDate expected = Codecs::DecodeDateVuze(quint16(w));
            ASSERT_EQ(d.ok, 1) << w;
            ASSERT_EQ(QDate(d.year, d.month, d.day), expected) << w;
            ASSERT_STREQ(FunctionsLastError(), "") << w;
        } catch (const EConvertError &) {
            ASSERT_EQ(d.ok, 0) << w;
            ASSERT_STREQ(FunctionsLastError(), "Invalid argument to date encode") << w;
        }
    }
}

TEST(FunctionsLibrary, UninitialisedJournalReadsAsYear2127)
{
    const EjDate d = ::DecodeDateVuze(int32_t(::SwpEndianW(0xFFFF)));
    EXPECT_EQ(d.ok, 1);
    EXPECT_EQ(d.year, 2127);
}

} // namespace
