#pragma once

#include <QFont>

// The windows' face: Tahoma at 11 pixels, as the design has it. Debian ships
// Wine's metric-compatible Tahoma (fonts-wine) without registering it with
// fontconfig, so the program loads it itself; where it is missing Qt falls
// back to a similar face.
QFont WindowFont(int pixelSize = 11, bool bold = false);
