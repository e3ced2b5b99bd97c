#include "util/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "util/UiUtils.h"

namespace {

QString WithSlash(const QString& path) { return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/'); }

}  // namespace

std::string ProgramFolderLocation() {
    // Fixed names rather than the application object's, so the folder is the
    // same whoever calls first.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) return {};
    return FromQt(WithSlash(base) + QStringLiteral("Orvan Software/Velliant FTP/"));
}

std::string ProgramFolder() {
    const QString folder = QDir::cleanPath(ToQt(ProgramFolderLocation()));
    if (folder.isEmpty()) return {};
    if (!QDir(folder).exists()) {
        if (!QDir().mkpath(folder)) return {};
        (void)QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return FromQt(WithSlash(folder));
}

std::string ProgramResourceFolder() {
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QStringList candidates{
        exeDir + QStringLiteral("/resources"),
        exeDir + QStringLiteral("/../share/velliant-ftp"),
        QStringLiteral(VFTP_SOURCE_RESOURCES),
    };
    for (const QString& candidate : candidates) {
        if (QFile::exists(candidate + QStringLiteral("/blip.wav"))) return FromQt(WithSlash(QDir::cleanPath(candidate)));
    }
    return FromQt(WithSlash(QDir::cleanPath(candidates.front())));
}
