// The windowed program: the application, the main window and the loop.
#include <QApplication>

#include "app/FrmMain.h"
#include "platform/MessageLoop.h"
#include "util/QtMessagePump.h"
#include "util/UiUtils.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(ApplicationTitle));
    QtMessagePump pump;
    int result = 0;
    {
        TfrmMain frmMain;
        frmMain.show();
        result = QApplication::exec();
        platform::SetApplicationTerminated(true);
    }
    return result;
}
