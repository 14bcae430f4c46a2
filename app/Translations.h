#pragma once

class QCoreApplication;
#include <QString>

// The program in the user's language: its own texts (English as the design
// wrote them is the source) and Qt's, for the print and file dialogs. The
// locale's languages are tried in order (LANGUAGE=bs chooses Bosnian).
// folder: where the program's compiled translations are; empty for the
// installed program's own folder. Returns false when the program's texts
// stay English.
bool LoadTranslations(QCoreApplication &app, const QString &folder = {});

// The folder of the compiled translations beside the installed program.
QString InstalledTranslationsFolder();
