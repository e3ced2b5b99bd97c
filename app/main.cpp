// The windowed program: application object, main window, message window,
// then Qt's event loop (which also runs ours).
#include <QApplication>
#include <QMainWindow>

#include "app/AppSetup.h"
#include "localpane/FrmMessage.h"
#include "util/QtMessagePump.h"
#include "util/UiUtils.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const auto pump = SetUpApplication(app);

    // A bare frame until the shell's main window takes its place here.
    QMainWindow mainWindow;
    mainWindow.setWindowTitle(QStringLiteral(" ") + QString::fromLatin1(ApplicationTitle));
    mainWindow.resize(539, 442);
    mainWindow.show();
    TfrmMessage message(&mainWindow);
    return app.exec();
}
