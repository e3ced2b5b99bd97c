#include "util/ui/WavePlayer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

#include "util/ui/UiUtils.h"

namespace {

// One player for the whole run.
QSoundEffect* player = nullptr;

QSoundEffect* Player() {
    if (player == nullptr) {
        player = new QSoundEffect(QCoreApplication::instance());
        QObject::connect(player, &QObject::destroyed, [] { player = nullptr; });
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, player, [] { CloseWavePlayer(); });
    }
    return player;
}

}  // namespace

bool PlayWaveFile(const std::string& path) {
    const QFileInfo file(ToQt(path));
    if (!file.isFile()) return false;
    QSoundEffect* effect = Player();
    effect->stop();
    effect->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    effect->play();
    return true;
}

// Qt reads the sample on a loader thread of its own. When the application
// object goes while that read is in flight, the loader's request and buffers
// are never freed: harmless at exit, but a leak report under the sanitizers,
// and one that only shows when the machine is busy enough to slow the read.
void CloseWavePlayer() {
    if (player == nullptr) return;
    if (player->status() == QSoundEffect::Loading) {
        QEventLoop loop;
        QObject::connect(player, &QSoundEffect::statusChanged, &loop, &QEventLoop::quit);
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    delete player;
}
