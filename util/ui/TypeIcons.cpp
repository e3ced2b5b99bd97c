#include "util/ui/TypeIcons.h"

#include <QFileIconProvider>
#include <QMimeDatabase>

#include "util/MiscUtils.h"
#include "util/ui/UiUtils.h"

std::string DefaultTypeText(const std::string& extension) {
    const std::string bare = extension.empty() ? extension : extension.substr(1);
    return Substitute(Translated("TypeIcons", "%1 File"), {AsciiUpper(bare)});
}

std::string TypeLookupExtension(const std::string& extension) { return AsciiUpper(extension) == ".EXE" ? ".com" : extension; }

void LookUpTypeIcon(const std::string& source, QIcon& icon, QString& typeText) {
    try {
        if (source == FolderIconKey) {
            icon = QIcon::fromTheme(QStringLiteral("folder"));
            return;
        }
        if (source == DirectoryIconKey) {
            // The widget style's own folder, for desktops without an icon theme.
            icon = QFileIconProvider().icon(QFileIconProvider::Folder);
            return;
        }
        if (source.size() < 2 || source[0] != '.') return;
        static const QMimeDatabase database;
        const QString probe = QStringLiteral("x") + QString::fromLocal8Bit(source.data(), static_cast<qsizetype>(source.size()));
        const QMimeType type = database.mimeTypeForFile(probe, QMimeDatabase::MatchExtension);
        if (!type.isValid() || type.isDefault()) return;
        if (!type.comment().isEmpty()) typeText = type.comment();
        QIcon themed = QIcon::fromTheme(type.iconName());
        if (themed.isNull()) themed = QIcon::fromTheme(type.genericIconName());
        if (!themed.isNull()) icon = themed;
    } catch (...) {
        // No description and no icon: the caller keeps its defaults.
    }
}
