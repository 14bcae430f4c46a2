#pragma once

#include <QString>

// File names built from the journal's fiscal memory number. The number comes
// from the device, so anything but ASCII letters and digits becomes '_': no
// device string can reach outside the folder it is written to.
QString SanitizedFileComponent(const QString &deviceText);
QString JournalFileName(const QString &fiscalMemory); // "Original_" + number + ".txt"
QString DecodedFileName(const QString &fiscalMemory); // "Bosnian_" + number + ".txt"
// The document index beside the journal file: "Original_" + number + ".idx".
QString DocumentIndexFileName(const QString &fiscalMemory);
