#include "dialogs/FrmAbout.h"

#include <QDesktopServices>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "util/ProgramVersion.h"
#include "util/ui/ProgramFolders.h"
#include "util/ui/UiUtils.h"

namespace {

QLabel* LinkLabel(const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setCursor(Qt::PointingHandCursor);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    return label;
}

}  // namespace

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent), OpenUrl([](const QUrl& url) { (void)QDesktopServices::openUrl(url); }) {
    setWindowTitle(tr("About Quillford Velliant FTP"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    imgLogo = new QLabel(this);
    const QPixmap logo(ToQt(ProgramResourceFile("velliant-ftp.png")));
    imgLogo->setPixmap(logo.isNull() ? style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(48, 48) : logo);
    lblProgram = new QLabel(QStringLiteral("Quillford Velliant FTP"), this);
    QFont bold = lblProgram->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    lblProgram->setFont(bold);
    lblVersion = new QLabel(tr("Version ") + QString::fromLatin1(ProgramVersion), this);
    lblMaker = new QLabel(QStringLiteral("Orvan Software"), this);
    lblMakerWeb = LinkLabel(MakerAddress, this);
    lblMakerWeb->setToolTip(tr("Double-click to visit"));
    lblContact = new QLabel(QString::fromLatin1(ContactAddress), this);
    lblDeveloper = new QLabel(tr("Developed by the Velliant team:"), this);
    lblDeveloperWeb = LinkLabel(DeveloperAddress, this);
    lblLegal = new QLabel(tr("This program is provided as is, without warranty of any kind. "
                             "Use it at your own risk."),
                          this);
    lblLegal->setWordWrap(true);
    btnCool = new QPushButton(tr("&Cool !"), this);
    btnCool->setDefault(true);
    connect(btnCool, &QPushButton::clicked, this, &QDialog::accept);
    lblMakerWeb->installEventFilter(this);
    lblDeveloperWeb->installEventFilter(this);

    auto* text = new QVBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(lblProgram), static_cast<QWidget*>(lblVersion), static_cast<QWidget*>(lblMaker),
                       static_cast<QWidget*>(lblMakerWeb), static_cast<QWidget*>(lblContact), static_cast<QWidget*>(lblDeveloper),
                       static_cast<QWidget*>(lblDeveloperWeb), static_cast<QWidget*>(lblLegal)})
        text->addWidget(w);
    auto* grid = new QGridLayout(this);
    grid->addWidget(imgLogo, 0, 0, Qt::AlignTop);
    grid->addLayout(text, 0, 1);
    grid->addWidget(btnCool, 1, 0, 1, 2, Qt::AlignHCenter);
    setFixedSize(sizeHint());
}

bool TfrmAbout::eventFilter(QObject* watched, QEvent* event) {
    // The maker's address opens on a double click, the developer's on a click.
    const bool makerOpens = watched == lblMakerWeb && event->type() == QEvent::MouseButtonDblClick;
    const bool developerOpens = watched == lblDeveloperWeb && event->type() == QEvent::MouseButtonRelease;
    if ((makerOpens || developerOpens) && OpenUrl) {
        OpenUrl(QUrl(static_cast<QLabel*>(watched)->text()));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
