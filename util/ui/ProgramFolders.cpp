#include "util/ui/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <set>

#include "util/ui/UiUtils.h"

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
    const QString buildTree = exeDir + QStringLiteral("/resources");
    const QString installed = QDir::cleanPath(exeDir + QStringLiteral("/../share/velliant-ftp"));
    const QString& folder = QFile::exists(buildTree + QStringLiteral("/blip.wav")) ? buildTree : installed;
    return FromQt(WithSlash(folder));
}

std::string ProgramResourceFile(const std::string& name) {
    const std::string path = ProgramResourceFolder() + name;
    static std::set<std::string> reported;
    if (!QFile::exists(ToQt(path)) && reported.insert(name).second)
        qWarning("Velliant FTP: the program's file %s is missing from %s", name.c_str(), ProgramResourceFolder().c_str());
    return path;
}
