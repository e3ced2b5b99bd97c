#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

void Install(QCoreApplication& app, const QString& name, const QString& folder) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(), name, QStringLiteral("_"), folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

}  // namespace

void InstallTranslations(QCoreApplication& app) {
    Install(app, QStringLiteral("velliant-ftp"), QStringLiteral(":/i18n"));
    // Debian qt6-translations-l10n; without it Qt's buttons stay English.
    Install(app, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}
