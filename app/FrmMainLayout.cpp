// The window definition: areas, controls, menus and toolbar.
#include <QActionGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/ApplicationIcon.h"
#include "app/FrmMain.h"
#include "app/Glyphs.h"
#include "app/StatusBar.h"
#include "localpane/LocalPane.h"
#include "session/LogView.h"
#include "session/RemoteListView.h"
#include "session/RemotePane.h"
#include "session/TransferListView.h"

namespace {

// The main window's texts in the user's language (English is the source).
QString Text(const char* english) { return QCoreApplication::translate("TfrmMain", english); }

constexpr int kToolbarHeight = 46;
constexpr int kAnimationWidth = 49;
constexpr int kPromoHeight = 61;

// `hint` is marked with QT_TRANSLATE_NOOP("TfrmMain", ...) where it is written.
QAction* AddTool(QToolBar* bar, Glyphs::Tool glyph, const char* hint) {
    QAction* action = bar->addAction(Glyphs::ToolIcon(glyph), QString());
    action->setToolTip(Text(hint));
    action->setStatusTip(Text(hint));
    // Screen readers name a glyph-only button by its hint.
    if (QWidget* button = bar->widgetForAction(action)) button->setAccessibleName(Text(hint));
    return action;
}

// The pane's controls stack 2 pixels apart, the last one taking the height
// down to 3 pixels above the pane's bottom.
QVBoxLayout* PaneLayout(QWidget* pane) {
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(2, 2, 4, 3);
    layout->setSpacing(2);
    return layout;
}

}  // namespace

TfrmMain::TfrmMain() {
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(ApplicationIcon());
    resize(DesignWidth, DesignHeight);
    BuildMenus();
    auto* central = new QWidget(this);
    auto* areas = new QVBoxLayout(central);
    areas->setContentsMargins(0, 0, 0, 0);
    areas->setSpacing(0);
    BuildToolbar();
    areas->addWidget(pnlServerToolbar);

    pnlLocalAndRemote = new QWidget(central);
    auto* panes = new QHBoxLayout(pnlLocalAndRemote);
    panes->setContentsMargins(0, 0, 0, 0);
    spltFTP = new QSplitter(Qt::Horizontal, pnlLocalAndRemote);
    spltFTP->setHandleWidth(3);
    spltFTP->setChildrenCollapsible(false);
    spltFTP->addWidget(BuildLocalPane());
    spltFTP->addWidget(BuildServerPane());
    spltFTP->setStretchFactor(1, 1);
    spltFTP->setSizes({DesignLocalWidth, DesignWidth - DesignLocalWidth - 3});
    panes->addWidget(spltFTP);

    BuildPromo();
    auto* upper = new QWidget(central);
    auto* upperAreas = new QVBoxLayout(upper);
    upperAreas->setContentsMargins(0, 0, 0, 0);
    upperAreas->setSpacing(0);
    upperAreas->addWidget(pnlLocalAndRemote, 1);
    upperAreas->addWidget(pnlPromo);
    BuildLog(upper);
    areas->addWidget(spltLog, 1);
    fsbMain = new TStatusBar(central);
    areas->addWidget(fsbMain);
    setCentralWidget(central);

    BindMenuShortcuts();
    BindSession();
    FormCreate();
}

void TfrmMain::BuildMenus() {
    mnuFile = menuBar()->addMenu(Text("&File"));
    itmUpload = mnuFile->addAction(Text("&Upload selected files"), this, [this] { pnlLocal->itmUploadLocaFileClick(); });
    itmDownload = mnuFile->addAction(Text("&Download selected entries"), this, [this] {
        if (!Session.Busy && !Session.Executing()) RemotePane->itmSrvFilesDownloadClick();
    });
    mnuFile->addSeparator();
    itmFileExit = mnuFile->addAction(Text("E&xit"), this, [this] { itmFileExitClick(); });
    itmFileExit->setStatusTip(Text("Exit Velliant FTP."));
    mnuEdit = menuBar()->addMenu(Text("&Edit"));
    itmOptions = mnuEdit->addAction(Text("&Options"), this, [this] { itmOptionsClick(); });
    mnuView = menuBar()->addMenu(Text("&View"));
    itmViewFTPLog = mnuView->addAction(Text("FTP Log"), this, [this] { itmViewFTPLogClick(); });
    itmViewFTPLog->setCheckable(true);
    itmRefresh = mnuView->addAction(Text("&Refresh"), this, [this] { tb97RefreshClick(); });
    itmViewCompare = mnuView->addAction(Text("&Compare folders"));
    itmViewCompare->setCheckable(true);
    itmViewCompare->setStatusTip(Text("Colour both lists by how their files differ."));
    // "View" has V: the Servers menu takes its S.
    mnuServers = menuBar()->addMenu(Text("&Servers"));
    connect(mnuServers, &QMenu::aboutToShow, this, [this] { itmServersClick(); });
    itmAddServer = mnuServers->addAction(Text("&Add server"), this, [this] { itmAddServerClick(); });
    itmEditServer = mnuServers->addAction(Text("&Edit server"), this, [this] { itmEditServerClick(); });
    itmRemoveServer = mnuServers->addAction(Text("&Remove server"), this, [this] { itmRemoveServerClick(); });
    mnuServers->addSeparator();
    itmConnectToServer = mnuServers->addAction(Text("&Connect to server ..."), this, [this] { tb97ConnectClick(); });
    itmDisconnectFromServer = mnuServers->addAction(Text("&Disconnect from server"), this, [this] { tb97DisconnectClick(); });
    itmDisconnectFromServer->setEnabled(false);
    itmSynchronise = mnuServers->addAction(Text("S&ynchronise folders ..."), this, [this] { itmSynchroniseClick(); });
    itmSynchronise->setStatusTip(Text("Make the server's folder like the local one, or the other way round."));
    mnuServers->addSeparator();
    mnuHelp = menuBar()->addMenu(Text("&Help"));
    itmAbout = mnuHelp->addAction(Text("&About"), this, [this] { itmAboutClick(); });
    itmAbout->setStatusTip(Text("About Velliant FTP."));
    // Fixed items carry tags below 100; profile entries start at 100.
    int tag = 1;
    for (QAction* item :
         {itmFileExit, itmOptions, itmViewFTPLog, itmAddServer, itmEditServer, itmRemoveServer, itmDisconnectFromServer, itmAbout,
          itmConnectToServer, itmRefresh, itmUpload, itmDownload, itmViewCompare, itmSynchronise})
        item->setData(tag++);
}

// Keyboard users reach the toolbar's main buttons through the menus; each
// item is enabled with its button, so its shortcut works exactly when the
// button does.
void TfrmMain::BindMenuShortcuts() {
    const std::pair<QAction*, QKeySequence> keys[] = {
        {itmConnectToServer, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {itmDisconnectFromServer, QKeySequence(Qt::CTRL | Qt::Key_W)},
        {itmRefresh, QKeySequence(Qt::Key_F5)},
        {itmUpload, QKeySequence(Qt::CTRL | Qt::Key_U)},
        {itmDownload, QKeySequence(Qt::CTRL | Qt::Key_D)},
    };
    for (const auto& [item, key] : keys) item->setShortcut(key);
    const std::pair<QAction*, QAction*> follow[] = {{tb97Connect, itmConnectToServer},
                                                    {tb97Disconnect, itmDisconnectFromServer},
                                                    {tb97Refresh, itmRefresh},
                                                    {tb97Refresh, itmUpload},
                                                    {tb97Refresh, itmDownload}};
    for (const auto& [button, item] : follow) {
        item->setEnabled(button->isEnabled());
        connect(button, &QAction::enabledChanged, item, &QAction::setEnabled);
    }
}

void TfrmMain::BuildToolbar() {
    pnlServerToolbar = new QWidget(this);
    pnlServerToolbar->setFixedHeight(kToolbarHeight);
    auto* strip = new QHBoxLayout(pnlServerToolbar);
    strip->setContentsMargins(2, 0, 0, 0);
    strip->setSpacing(0);
    tbServer = new QToolBar(pnlServerToolbar);
    tbServer->setIconSize(QSize(24, 24));
    tbServer->setToolButtonStyle(Qt::ToolButtonIconOnly);
    using Glyphs::Tool;
    tb97Connect = AddTool(tbServer, Tool::Connect, QT_TRANSLATE_NOOP("TfrmMain", "Connect."));
    tb97Disconnect = AddTool(tbServer, Tool::Disconnect, QT_TRANSLATE_NOOP("TfrmMain", "Disconnect."));
    tb97AddServer = AddTool(tbServer, Tool::AddServer, QT_TRANSLATE_NOOP("TfrmMain", "Add FTP Server."));
    tbServer->addSeparator();
    tb97FolderUp = AddTool(tbServer, Tool::FolderUp, QT_TRANSLATE_NOOP("TfrmMain", "Up."));
    tb97NewFolder = AddTool(tbServer, Tool::NewFolder, QT_TRANSLATE_NOOP("TfrmMain", "Create New Folder."));
    tb97Delete = AddTool(tbServer, Tool::Delete, QT_TRANSLATE_NOOP("TfrmMain", "Delete."));
    tb97Refresh = AddTool(tbServer, Tool::Refresh, QT_TRANSLATE_NOOP("TfrmMain", "Refresh directory contents."));
    tbServer->addSeparator();
    tb97TransferBin = AddTool(tbServer, Tool::Binary, QT_TRANSLATE_NOOP("TfrmMain", "Transfer files as binary."));
    tb97TransferAsc = AddTool(tbServer, Tool::Ascii, QT_TRANSLATE_NOOP("TfrmMain", "Transfer files as text (ascii)."));
    tb97TransferAuto =
        AddTool(tbServer, Tool::Auto, QT_TRANSLATE_NOOP("TfrmMain", "Automatic selection (Binary/Ascii) to tansfer files."));
    auto* transferModes = new QActionGroup(this);
    for (QAction* mode : {tb97TransferBin, tb97TransferAsc, tb97TransferAuto}) {
        mode->setCheckable(true);
        transferModes->addAction(mode);
    }
    tb97TransferAuto->setChecked(true);
    tb97Compare = AddTool(tbServer, Tool::Compare, QT_TRANSLATE_NOOP("TfrmMain", "Compare the local and the server's folder."));
    tb97Compare->setCheckable(true);
    sepHosting = tbServer->addSeparator();
    tb97Hosting = AddTool(tbServer, Tool::Hosting, QT_TRANSLATE_NOOP("TfrmMain", "Need a Place to Host your Website?"));
    tb97Sell = AddTool(tbServer, Tool::Sell, QT_TRANSLATE_NOOP("TfrmMain", "Want to Sell Your Stuff on the Web ?"));
    tb97Sell->setVisible(false);
    strip->addWidget(tbServer, 1);

    animKFTP = new QLabel(pnlServerToolbar);
    animKFTP->setFixedSize(kAnimationWidth, kToolbarHeight);
    animKFTP->setAlignment(Qt::AlignCenter);
    animKFTP->setAutoFillBackground(true);
    QPalette black = animKFTP->palette();
    black.setColor(QPalette::Window, Qt::black);
    animKFTP->setPalette(black);
    strip->addWidget(animKFTP);

    connect(tb97Connect, &QAction::triggered, this, [this] { tb97ConnectClick(); });
    connect(tb97Disconnect, &QAction::triggered, this, [this] { tb97DisconnectClick(); });
    connect(tb97AddServer, &QAction::triggered, this, [this] { itmAddServerClick(); });
    connect(tb97FolderUp, &QAction::triggered, this, [this] { tb97FolderUpClick(); });
    connect(tb97Refresh, &QAction::triggered, this, [this] { tb97RefreshClick(); });
    connect(tb97Hosting, &QAction::triggered, this, [this] { tb97HostingClick(); });
}

QWidget* TfrmMain::BuildLocalPane() {
    pnlLocal = new TLocalPane(this);
    lblLocal = pnlLocal->lblLocal;
    cbLocalDrive = pnlLocal->cbLocalDrive;
    lbDirectory = pnlLocal->lbDirectory;
    cbFilter = pnlLocal->cbFilter;
    lbFiles = pnlLocal->lbFiles;
    return pnlLocal;
}

QWidget* TfrmMain::BuildServerPane() {
    pnlServer = new QWidget(this);
    auto* layout = PaneLayout(pnlServer);
    auto* heading = new QHBoxLayout;
    heading->setSpacing(6);
    lblServer = new QLabel(Text("Server:"), pnlServer);
    lblServerName = new QLabel(pnlServer);
    heading->addWidget(lblServer);
    heading->addWidget(lblServerName, 1);
    layout->addLayout(heading);
    cbServerDir = new QComboBox(pnlServer);
    cbServerDir->setEditable(true);
    cbServerDir->setInsertPolicy(QComboBox::NoInsert);
    layout->addWidget(cbServerDir);
    lvServerFiles = new TRemoteListView(pnlServer);
    layout->addWidget(lvServerFiles, 1);
    pnlServer->setMinimumWidth(60);
    return pnlServer;
}

void TfrmMain::BuildPromo() {
    pnlPromo = new QFrame(this);
    pnlPromo->setFixedHeight(kPromoHeight);
    pnlPromo->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlPromo->setAutoFillBackground(true);
    QPalette white = pnlPromo->palette();
    white.setColor(QPalette::Window, Qt::white);
    pnlPromo->setPalette(white);
    auto* layout = new QVBoxLayout(pnlPromo);
    layout->setContentsMargins(8, 2, 8, 2);
    lblPromo = new QLabel(pnlPromo);
    lblPromo->setWordWrap(true);
    lblPromo->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    font.setBold(true);
    lblPromo->setFont(font);
    QPalette red = lblPromo->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lblPromo->setPalette(red);
    layout->addWidget(lblPromo);
}

// The log pane sits below a splitter, so the user can drag it taller; the
// areas above it take what the window gains or loses.
void TfrmMain::BuildLog(QWidget* above) {
    pnlFTPLog = new QWidget(this);
    auto* layout = new QVBoxLayout(pnlFTPLog);
    layout->setContentsMargins(0, 0, 0, 0);
    // The transfer queue sits in a tab beside the log.
    pgcLog = new QTabWidget(pnlFTPLog);
    pgcLog->setTabPosition(QTabWidget::South);
    pgcLog->setDocumentMode(true);
    // The tabs' own minimum would keep the pane taller than the height the
    // user gave it.
    pgcLog->setMinimumHeight(65);
    mmoFTPLog = new TLogView(pgcLog);
    lvTransfers = new TTransferListView(pgcLog);
    pgcLog->addTab(mmoFTPLog, tr("Log"));
    pgcLog->addTab(lvTransfers, tr("Transfers"));
    layout->addWidget(pgcLog);
    spltLog = new QSplitter(Qt::Vertical, this);
    spltLog->setChildrenCollapsible(false);
    spltLog->addWidget(above);
    spltLog->addWidget(pnlFTPLog);
    spltLog->setStretchFactor(0, 1);
    spltLog->setStretchFactor(1, 0);
    connect(spltLog, &QSplitter::splitterMoved, this, [this] { pendingLogHeight_ = pnlFTPLog->height(); });
    pnlFTPLog->hide();
}
