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
    setWindowTitle(uploading ? tr("Uploading ...") : tr("Downloading ..."));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    lblDownloading = new QLabel(QString::fromLatin1(ApplicationTitle) + tr(" is now downloading the file ..."), this);
    lblUploading = new QLabel(QString::fromLatin1(ApplicationTitle) + tr(" is now uploading the file ..."), this);
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
    btnAbort = new QPushButton(tr("&Abort"), this);
    connect(btnAbort, &QPushButton::clicked, this, &QWidget::close);

    auto* form = new QFormLayout;
    form->addRow(tr("Filename:"), lblFilename);
    form->addRow(tr("Total Size:"), lblTotalSize);
    form->addRow(uploading ? tr("Sent:") : tr("Received:"), lblReceived);
    form->addRow(tr("Transfer Rate:"), lblTransferRate);
    form->addRow(tr("Progress:"), lblProgress);
    form->addRow(tr("Est.Time:"), lblEstTime);
    form->addRow(tr("Elapsed:"), lblElapsedTime);
    form->addRow(tr("Rem.Time:"), lblRemainTime);
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
        // A steady clock: unlike the time of day, it does not start again
        // after 24 hours.
        const double seconds = now - StartTime;
        const auto elapsed = static_cast<std::int64_t>(std::floor(seconds));
        const auto moved = static_cast<double>(std::max<std::int64_t>(0, done - StartCount));
        const double rate = seconds > 0 ? std::nearbyint(moved / seconds) : 0.0;
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
            lblTransferRate->setText(tr("%1/sec").arg(ToQt(SizeText(static_cast<std::int64_t>(rate)))));
            lblEstTime->setText(ToQt(ClockText(static_cast<std::int64_t>(seconds + remaining))));
            lblRemainTime->setText(ToQt(ClockText(static_cast<std::int64_t>(remaining))));
            // Held for a second only once there is a rate to hold.
            if (Total > 0 && moved > 0) LastRateUpdate = now;
        }
    } catch (...) {
        // A failed display never disturbs the transfer.
    }
    Updating = false;
}
