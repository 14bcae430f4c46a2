#include "WindowFont.h"

#include <QFontDatabase>

namespace {

void LoadTahoma()
{
    static const bool loaded = [] {
        for (const char *file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
            QFontDatabase::addApplicationFont(QString::fromLatin1(file));
        return true;
    }();
    Q_UNUSED(loaded);
}

} // namespace

QFont WindowFont(int pixelSize, bool bold)
{
    LoadTahoma();
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
