#include "app/ApplicationIcon.h"

QIcon ApplicationIcon() {
    QIcon icon;
    for (const char* size : {"16x16", "32x32", "128x128", "256x256"})
        icon.addFile(QStringLiteral(":/icons/%1/velliant-ftp.png").arg(QLatin1String(size)));
    icon.addFile(QStringLiteral(":/velliant-ftp.png"));
    return icon;
}
