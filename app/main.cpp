// The windowed program: the command line, the application object, the main
// window (which creates the message window), then Qt's event loop (which
// also runs ours).
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/AppSetup.h"
#include "app/CommandLine.h"
#include "app/FrmMain.h"
#include "util/ui/QtMessagePump.h"

namespace {

std::vector<std::string> Arguments(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

}  // namespace

int main(int argc, char** argv) {
    // Answered on standard output without a window, before the application
    // object wants a display.
    const TCommandLine early = TCommandLine::Parse(Arguments(argc, argv));
    if (early.Action == TCommandLine::TAction::Help || early.Action == TCommandLine::TAction::Version) {
        const std::string text =
            early.Action == TCommandLine::TAction::Help ? TCommandLine::HelpText() : TCommandLine::VersionText();
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    const TCommandLine line = TCommandLine::Parse(Arguments(argc, argv));  // without Qt's own options now
    if (line.Action == TCommandLine::TAction::Refuse) {
        std::fprintf(stderr, "velliant-ftp: %s (velliant-ftp --help)\n", line.Error.c_str());
        return 2;
    }
    const auto pump = SetUpApplication(app);
    TfrmMain frmMain;
    frmMain.show();
    QTimer::singleShot(0, &frmMain, [&] {
        frmMain.OfferKeyringOnce();
        if (!line.Link.empty()) frmMain.OpenLink(line.Link);
    });
    return app.exec();
}
