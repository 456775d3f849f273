// Qt's own texts (dialogs, context menus, the file pane's headers) in German,
// and the German locale for the numbers and dates the window shows.
#pragma once

class QCoreApplication;

// Loads qtbase_de from Qt's translations folder (Debian's
// qt6-translations-l10n) into `application`; false when it is not installed,
// and the texts stay English. Sets the default locale to German either way.
bool InstallGermanTexts(QCoreApplication& application);
