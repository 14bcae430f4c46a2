#pragma once

#include <QChar>
#include <QString>

// The journal's 8-bit character set: codes 91..191 hold the Latin
// South-Slavic letters, the euro sign and Cyrillic; every other code stands
// for itself.

// The character for a device code (codes outside 91..191 pass unchanged, also
// those above 255).
QChar ConvertToBosnian(int index);

// The device code for a character, for peers that write journal text (the
// simulated journal); -1 when the device set has no code for it.
int DeviceCodeFor(QChar c);
