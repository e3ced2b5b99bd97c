// The windowed program: application object, main window (which creates the
// message window), then Qt's event loop (which also runs ours).
#include <QApplication>

#include "app/AppSetup.h"
#include "app/FrmMain.h"
#include "util/ui/QtMessagePump.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const auto pump = SetUpApplication(app);
    TfrmMain frmMain;
    frmMain.show();
    return app.exec();
}
