#pragma once
// The window in the user's language: the program's own translation
// (translations/velliant-ftp_<language>.ts, compiled in) and Qt's for its
// standard buttons and dialogs, chosen from the locale (LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG). English, the language of the source texts, needs
// neither; a language without a translation shows English.

class QCoreApplication;

void InstallTranslations(QCoreApplication& app);
