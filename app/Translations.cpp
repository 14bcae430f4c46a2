#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QString InstalledTranslationsFolder()
{
    // Relative to the program, as its library is: it works in any prefix.
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/ejournal/translations"));
}

bool LoadTranslations(QCoreApplication &app, const QString &folder)
{
    const QLocale locale;
    auto *own = new QTranslator(&app);
    const bool ours = own->load(locale, QStringLiteral("ejournal"), QStringLiteral("_"),
                                folder.isEmpty() ? InstalledTranslationsFolder() : folder);
    if (ours)
        QCoreApplication::installTranslator(own);
    else
        delete own;

    auto *qt = new QTranslator(&app);
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    bool qtFound = qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), qtFolder);
    // Qt speaks no Bosnian; Croatian is the same language's Latin-script
    // standard next door, far closer to the reader than English.
    if (!qtFound && ours && locale.uiLanguages().value(0).startsWith(QLatin1String("bs")))
        qtFound = qt->load(QStringLiteral("qtbase_hr"), qtFolder);
    if (qtFound)
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    return ours;
}
