#include "session/FrmDownload.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "util/MiscUtils.h"
#include "util/ui/UiUtils.h"

namespace {

double SteadySeconds() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

QLabel* Value(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

std::string FileNamePart(const std::string& name) {
    const std::size_t slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace

std::string ClockText(std::int64_t seconds) {
    if (seconds < 0) seconds = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

TfrmDownload::TfrmDownload(bool uploading) : QWidget(nullptr), Now(SteadySeconds) {
    setWindowTitle(uploading ? QStringLiteral("Uploading ...") : QStringLiteral("Downloading ..."));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    lblDownloading = new QLabel(QStringLiteral("Quillford Velliant FTP is now downloading the file ..."), this);
    lblUploading = new QLabel(QStringLiteral("Quillford Velliant FTP is now uploading the file ..."), this);
    lblDownloading->setVisible(!uploading);
    lblUploading->setVisible(uploading);
    lblFilename = Value(this);
    lblTotalSize = Value(this);
    lblReceived = Value(this);
    lblTransferRate = Value(this);
    lblProgress = Value(this);
    lblEstTime = Value(this);
    lblElapsedTime = Value(this);
    lblRemainTime = Value(this);
    pbDownload = new QProgressBar(this);
    pbDownload->setRange(0, 100);
    btnAbort = new QPushButton(QStringLiteral("&Abort"), this);
    connect(btnAbort, &QPushButton::clicked, this, &QWidget::close);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Filename:"), lblFilename);
    form->addRow(QStringLiteral("Total Size:"), lblTotalSize);
    form->addRow(QStringLiteral("Received:"), lblReceived);
    form->addRow(QStringLiteral("Transfer Rate:"), lblTransferRate);
    form->addRow(QStringLiteral("Progress:"), lblProgress);
    form->addRow(QStringLiteral("Est.Time:"), lblEstTime);
    form->addRow(QStringLiteral("Elapsed:"), lblElapsedTime);
    form->addRow(QStringLiteral("Rem.Time:"), lblRemainTime);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblDownloading);
    layout->addWidget(lblUploading);
    layout->addLayout(form);
    layout->addWidget(pbDownload);
    layout->addWidget(btnAbort, 0, Qt::AlignHCenter);
    setMinimumWidth(360);
}

TfrmDownload::~TfrmDownload() = default;

void TfrmDownload::closeEvent(QCloseEvent* event) {
    if (!closedOnce_) {
        closedOnce_ = true;
        if (OnClosed) OnClosed();
    }
    QWidget::closeEvent(event);
}

void TfrmDownload::Update(const std::string& fileName, std::int64_t total, std::int64_t done) {
    if (Updating) return;
    Updating = true;
    try {
        if (total != -1) Total = total;
        const double now = Now();
        if (done == 0) StartTime = now;
        if (now == StartTime) StartTime -= 0.1;
        // Whole seconds of a steady clock: unlike the time of day, they do
        // not start again after 24 hours.
        const auto elapsed = static_cast<std::int64_t>(std::floor(now - StartTime));
        const double rate = elapsed > 0 ? std::nearbyint(static_cast<double>(done) / static_cast<double>(elapsed)) : 0.0;
        // A server sending more than it listed leaves no negative time.
        const double remaining = rate > 0 && Total > done ? static_cast<double>(Total - done) / rate : 0.0;
        const double percent = Total > 0 ? std::min(100.0, static_cast<double>(done) / static_cast<double>(Total) * 100.0) : 0.0;

        lblFilename->setText(ToQt(FileNamePart(fileName)));
        lblTotalSize->setText(ToQt(SizeText(Total)));
        lblReceived->setText(ToQt(SizeText(done)));
        lblProgress->setText(QString::number(std::lround(percent)) + QStringLiteral("%"));
        lblElapsedTime->setText(ToQt(ClockText(elapsed)));
        pbDownload->setValue(static_cast<int>(std::lround(percent)));
        if (std::floor(now - LastRateUpdate) > 0) {
            lblTransferRate->setText(ToQt(SizeText(static_cast<std::int64_t>(rate)) + "/sec"));
            lblEstTime->setText(ToQt(ClockText(elapsed + static_cast<std::int64_t>(remaining))));
            lblRemainTime->setText(ToQt(ClockText(static_cast<std::int64_t>(remaining))));
            if (Total > 0 && done > 0) LastRateUpdate = now;
        }
    } catch (...) {
        // A failed display never disturbs the transfer.
    }
    Updating = false;
}
