#pragma once

#include <QIcon>
#include <QPixmap>

// The pictures of the toolbar buttons and the logo, drawn at run time so the
// program needs no image files.
namespace Glyphs {

enum class Button { Close, Print, ExportText, ExportSpreadsheet, Information, Find };

QIcon icon(Button button, int size);
QPixmap logo(int width, int height);

} // namespace Glyphs
