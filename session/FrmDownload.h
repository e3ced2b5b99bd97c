#pragma once
// The progress window of one transfer: file name, sizes, rate, elapsed,
// estimated and remaining time, a percentage bar and an Abort button. It is
// a window of its own (not owned by the main window) and frees itself when
// closed; closing it in any way asks for the transfer to be aborted.

#include <QCoreApplication>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

class TfrmDownload : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(TfrmDownload)

public:
    explicit TfrmDownload(bool uploading);
    ~TfrmDownload() override;

    // Shows the transfer's state. `total` -1 keeps the known total; a `done`
    // of 0 starts the clock. Rate and times count only the bytes moved since
    // then beyond StartCount, over the time passed to the fraction of a
    // second, and are refreshed at most once a second; an update arriving
    // during one is ignored.
    void Update(const std::string& fileName, std::int64_t total, std::int64_t done);

    // Seconds on a steady clock; replaceable so tests can move time.
    std::function<double()> Now;
    // Called once when the window closes (Abort, the close box, or code);
    // not when the transfer's end frees it.
    std::function<void()> OnClosed;

    bool Updating = false;
    double StartTime = 0;
    double LastRateUpdate = 0;
    std::int64_t Total = 0;
    // Bytes the file held before this transfer (a resumed download's local
    // part): in the progress, not in the rate.
    std::int64_t StartCount = 0;

    QLabel* lblDownloading;
    QLabel* lblUploading;
    QLabel* lblFilename;
    QLabel* lblTotalSize;
    QLabel* lblReceived;
    QLabel* lblTransferRate;
    QLabel* lblProgress;
    QLabel* lblEstTime;
    QLabel* lblElapsedTime;
    QLabel* lblRemainTime;
    QProgressBar* pbDownload;
    QPushButton* btnAbort;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool closedOnce_ = false;
};

// "HH:NN:SS" of whole seconds; hours beyond 99 keep counting.
std::string ClockText(std::int64_t seconds);
