#include "app/AppSetup.h"

#include <QApplication>

#include "app/ApplicationIcon.h"
#include "app/Translations.h"
#include "platform/MessageLoop.h"
#include "util/ui/ProgramFolders.h"
#include "util/ui/QtMessagePump.h"
#include "util/ui/UiUtils.h"

std::unique_ptr<QtMessagePump> SetUpApplication(QApplication& app) {
    QCoreApplication::setOrganizationName(QStringLiteral("Orvan Software"));
    QCoreApplication::setApplicationName(QStringLiteral("Velliant FTP"));
    InstallTranslations(app);
    QGuiApplication::setApplicationDisplayName(QString::fromLatin1(ApplicationTitle));
    // Ties the windows to the desktop entry and its icon on the desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral("velliant-ftp"));
    QGuiApplication::setWindowIcon(ApplicationIcon());
    // Waiting loops end early once the program is closing.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { platform::SetApplicationTerminated(true); });
    (void)ProgramFolder();  // created on first start
    return std::make_unique<QtMessagePump>();
}
