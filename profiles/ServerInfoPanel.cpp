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
    lblHeading = new QLabel(QStringLiteral("FTP Server Information:"), this);
    lblHeading->setGeometry(0, 0, kWidth, 16);
    pnlInfo = new QWidget(this);
    pnlInfo->setGeometry(0, 20, kWidth, 4 * kRowHeight);
    ebxHostPort = AddField(lblHostPort, "Hostname/Address and port:", 0);
    ebxUsername = AddField(lblUsername, "Username:", kRowHeight);
    ebxLocalDir = AddField(lblLocalDir, edit ? "Local Starting Directory:" : "Local starting Directory:", 2 * kRowHeight);
    ebxRemoteDir = AddField(lblRemoteDir, edit ? "Remote Starting Directory:" : "Remote starting Directory:", 3 * kRowHeight);
    resize(kWidth, 20 + 4 * kRowHeight);
    pnlInfo->hide();
}

QLineEdit* TServerInfoPanel::AddField(QLabel*& label, const char* caption, int top) {
    label = new QLabel(QString::fromLatin1(caption), pnlInfo);
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
        ebxHostPort->setText(ToQt(server.Hostname + " on port " + server.Port));
        ebxUsername->setText(ToQt(server.Username));
        ebxLocalDir->setText(ToQt(server.LocalStartDir));
        ebxRemoteDir->setText(ToQt(server.StartDir));
    } else {
        for (QLineEdit* field : {ebxHostPort, ebxUsername, ebxLocalDir, ebxRemoteDir})
            field->setText(QString::fromLatin1(MultipleText));
    }
    pnlInfo->show();
}

void TServerInfoPanel::ClearFields() {
    for (QLineEdit* field : {ebxHostPort, ebxUsername, ebxLocalDir, ebxRemoteDir}) field->clear();
}

bool TServerInfoPanel::FieldsShown() const { return !pnlInfo->isHidden(); }
