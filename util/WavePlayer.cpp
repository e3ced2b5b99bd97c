#include "util/WavePlayer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

#include "util/UiUtils.h"

bool PlayWaveFile(const std::string& path) {
    const QFileInfo file(ToQt(path));
    if (!file.isFile()) return false;
    // One player for the whole run, freed with the application object.
    static QSoundEffect* player = new QSoundEffect(QCoreApplication::instance());
    player->stop();
    player->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    player->play();
    return true;
}
