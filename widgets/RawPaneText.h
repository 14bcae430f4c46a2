#pragma once

#include <QByteArrayView>
#include <QChar>
#include <QString>

// How the "Original" pane shows the device's bytes: as the Windows Cyrillic
// code page (1251) shows them, the pane of the design being "Courier New,
// Cyrillic character set", and the two graphic marks 0x12 and 0x13 (and DEL)
// as symbols that no journal text can be taken for.
// The journal file keeps the bytes; only the pane shows them this way.

QString RawLineForDisplay(QByteArrayView line);

// The device byte a character of the pane shows, for reading the pane back
// ("Conv"); a character no byte shows (typed into the pane) gives its own
// code, as before.
int DeviceByteShownBy(QChar c);
