#include "profiles/ServerInfoPanel.h"

#include <QLabel>
#include <QLineEdit>

#include "util/FTPServerObj.h"
#include "util/ui/UiUtils.h"

namespace {

constexpr int kWidth = 230;
constexpr int kRowHeight = 44;

}  // namespace

TServerInfoPanel::TServerInfoPanel(TWording wording, QWidget* parent) : QWidget(parent) {
    const bool edit = wording == TWording::Edit;
    lblHeading = new QLabel(tr("FTP Server Information:"), this);
    lblHeading->setGeometry(0, 0, kWidth, 16);
    pnlInfo = new QWidget(this);
    pnlInfo->setGeometry(0, 20, kWidth, 4 * kRowHeight);
    ebxHostPort = AddField(lblHostPort, QT_TR_NOOP("Hostname/Address and port:"), 0);
    ebxUsername = AddField(lblUsername, QT_TR_NOOP("Username:"), kRowHeight);
    ebxLocalDir = AddField(lblLocalDir, edit ? QT_TR_NOOP("Local Starting Directory:") : QT_TR_NOOP("Local starting Directory:"),
                           2 * kRowHeight);
    ebxRemoteDir = AddField(
        lblRemoteDir, edit ? QT_TR_NOOP("Remote Starting Directory:") : QT_TR_NOOP("Remote starting Directory:"), 3 * kRowHeight);
    resize(kWidth, 20 + 4 * kRowHeight);
    pnlInfo->hide();
}

QLineEdit* TServerInfoPanel::AddField(QLabel*& label, const char* caption, int top) {
    label = new QLabel(tr(caption), pnlInfo);
    label->setGeometry(0, top, kWidth, 16);
    auto* field = new QLineEdit(pnlInfo);
    field->setGeometry(0, top + 17, kWidth, 21);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

void TServerInfoPanel::ShowServers(const std::vector<TFTPServer*>& servers) {
    if (servers.empty()) {
        pnlInfo->hide();
        return;
    }
    if (servers.size() == 1) {
        const TFTPServer& server = *servers.front();
        ebxHostPort->setText(tr("%1 on port %2").arg(ToQt(server.Hostname), ToQt(server.Port)));
        ebxUsername->setText(ToQt(server.Username));
        ebxLocalDir->setText(ToQt(server.LocalStartDir));
        ebxRemoteDir->setText(ToQt(server.StartDir));
    } else {
        for (QLineEdit* field : {ebxHostPort, ebxUsername, ebxLocalDir, ebxRemoteDir}) field->setText(tr(MultipleText));
    }
    pnlInfo->show();
}

void TServerInfoPanel::ClearFields() {
    for (QLineEdit* field : {ebxHostPort, ebxUsername, ebxLocalDir, ebxRemoteDir}) field->clear();
}

bool TServerInfoPanel::FieldsShown() const { return !pnlInfo->isHidden(); }
