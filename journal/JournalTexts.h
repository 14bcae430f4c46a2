#pragma once

#include "protocol/DeviceCharset.h"

#include <QByteArrayView>
#include <QChar>
#include <QLatin1StringView>

// The journal's own fixed texts and the rule by which its bytes read as
// characters, in one place: the decoding, the find and the emphasis all
// read them from here.
namespace JournalTexts {

// The receipt's closing line as the device sends it, and decoded.
inline constexpr QByteArrayView ClosingLine{"H V A L A        #"};
inline constexpr QByteArrayView ClosingLineDecoded{"H V A L A         "};
// What the decoded pane emphasises of the closing line.
inline constexpr QLatin1StringView ClosingWord{"H V A L A"};
// The two graphic marks, as the decoded text names them.
inline constexpr QLatin1StringView LogoWord{"(Logo)"};
inline constexpr QLatin1StringView SecondGraphicWord{"(Bosnia)"};

// A byte as the decoded text shows it: a blank for what does not print.
inline QChar DecodedChar(int b)
{
    return b < 0x20 || b == 0xFF ? QLatin1Char(' ') : ConvertToBosnian(b);
}

} // namespace JournalTexts
