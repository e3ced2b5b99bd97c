#include "session/TransferListView.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "util/MiscUtils.h"
#include "util/ui/UiUtils.h"

namespace {

const char* StateText(TItemState state) {
    switch (state) {
        case TItemState::Waiting: return QT_TRANSLATE_NOOP("TTransferListView", "waiting");
        case TItemState::Running: return QT_TRANSLATE_NOOP("TTransferListView", "running");
        case TItemState::Done: return QT_TRANSLATE_NOOP("TTransferListView", "done");
        case TItemState::Failed: return QT_TRANSLATE_NOOP("TTransferListView", "failed");
        case TItemState::Skipped: return QT_TRANSLATE_NOOP("TTransferListView", "skipped");
    }
    return "";
}

const char* DirectionText(const TTransferItem& item) {
    switch (item.action) {
        case TTransferAction::MakeFolder: return QT_TRANSLATE_NOOP("TTransferListView", "make folder");
        case TTransferAction::DeleteFile:
        case TTransferAction::DeleteFolder: return QT_TRANSLATE_NOOP("TTransferListView", "delete");
        case TTransferAction::Transfer: break;
    }
    return item.direction == TTransferDirection::Upload ? QT_TRANSLATE_NOOP("TTransferListView", "upload")
                                                        : QT_TRANSLATE_NOOP("TTransferListView", "download");
}

bool Finished(TItemState state) { return state == TItemState::Done || state == TItemState::Skipped; }

}  // namespace

TTransferListView::TTransferListView(QWidget* parent) : QWidget(parent) {
    tvItems = new QTreeWidget(this);
    tvItems->setRootIsDecorated(false);
    tvItems->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tvItems->setHeaderLabels({tr("Direction"), tr("Local"), tr("Remote"), tr("Size"), tr("Progress"), tr("Rate"), tr("State")});
    btnRetry = new QPushButton(tr("Retry &failed"), this);
    btnRemove = new QPushButton(tr("Re&move"), this);
    btnClear = new QPushButton(tr("&Clear finished"), this);
    btnStop = new QPushButton(tr("&Stop"), this);
    btnStop->setToolTip(tr("Stop every transfer that waits or runs."));
    connect(btnStop, &QPushButton::clicked, this, [this] {
        if (OnStop) OnStop();
    });
    connect(btnRetry, &QPushButton::clicked, this, [this] { RetryFailed(); });
    connect(btnRemove, &QPushButton::clicked, this, [this] { RemoveSelected(); });
    connect(btnClear, &QPushButton::clicked, this, [this] { ClearFinished(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnRetry);
    buttons->addWidget(btnRemove);
    buttons->addWidget(btnClear);
    buttons->addWidget(btnStop);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tvItems, 1);
    layout->addLayout(buttons);
}

int TTransferListView::BeginRun() { return ++runs_; }

// In one insertion: a site's thousands of lines cost the view one layout.
void TTransferListView::Add(int run, const std::vector<TTransferItem>& items) {
    QList<QTreeWidgetItem*> added;
    added.reserve(static_cast<qsizetype>(items.size()));
    for (const TTransferItem& item : items) {
        auto* line = new QTreeWidgetItem;
        line->setText(colDirection, tr(DirectionText(item)));
        line->setText(colLocal, ToQt(item.localPath));
        line->setText(colRemote, ToQt(item.remotePath));
        if (item.action == TTransferAction::Transfer) line->setText(colSize, QString::number(item.size));
        line->setText(colState, tr(StateText(item.state)));
        lines_[{run, item.id}] = line;
        items_[line].item = item;
        added.push_back(line);
    }
    tvItems->addTopLevelItems(added);
}

QTreeWidgetItem* TTransferListView::LineOf(int run, const TTransferItem& item) const {
    const auto found = lines_.find({run, item.id});
    return found == lines_.end() ? nullptr : found->second;
}

void TTransferListView::Update(int run, const TTransferItem& item, std::int64_t bytes) {
    QTreeWidgetItem* line = LineOf(run, item);
    if (line == nullptr) return;
    Line& facts = items_[line];
    if (item.state == TItemState::Running && facts.item.state != TItemState::Running) facts.started.start();
    facts.item.state = item.state;
    facts.item.lastError = item.lastError;
    std::string state = FromQt(tr(StateText(item.state)));
    if (item.state == TItemState::Failed && !item.lastError.empty()) state += ": " + item.lastError;
    line->setText(colState, ToQt(state));
    // A finished file's rate is its size over the whole attempt: the last
    // progress may only say how fast the kernel took the bytes.
    if (item.state == TItemState::Done && item.action == TTransferAction::Transfer && item.size > 0)
        ShowRate(line, facts, item.size);
    else if (bytes >= 0)
        ShowRate(line, facts, bytes);
    if (bytes >= 0 && item.size > 0)
        line->setText(colProgress, QString::number(std::min<std::int64_t>(100, bytes * 100 / item.size)) + QLatin1Char('%'));
    else if (Finished(item.state) && item.action == TTransferAction::Transfer)
        line->setText(colProgress, QStringLiteral("100%"));
}

// Bytes of the attempt over its time so far; the last figure stays when
// the item ends, as the average it reached.
void TTransferListView::ShowRate(QTreeWidgetItem* line, Line& facts, std::int64_t bytes) {
    if (!facts.started.isValid()) return;
    const qint64 ms = std::max<qint64>(1, facts.started.elapsed());
    line->setText(colRate, tr("%1/sec").arg(ToQt(SizeText(bytes * 1000 / ms))));
}

int TTransferListView::Unfinished() const {
    int count = 0;
    for (const auto& entry : items_)
        count += entry.second.item.state == TItemState::Waiting || entry.second.item.state == TItemState::Running ? 1 : 0;
    return count;
}

void TTransferListView::RetryFailed() {
    std::vector<TTransferItem> failed;
    for (int row = tvItems->topLevelItemCount() - 1; row >= 0; --row) {
        QTreeWidgetItem* line = tvItems->topLevelItem(row);
        if (items_[line].item.state != TItemState::Failed) continue;
        TTransferItem item = items_[line].item;
        item.attempts = 0;
        item.lastError.clear();
        failed.push_back(item);
        items_.erase(line);
        delete line;
    }
    std::reverse(failed.begin(), failed.end());  // in the order of the list
    ForgetRemovedLines();
    if (!failed.empty() && OnRetry) OnRetry(failed);
}

void TTransferListView::RemoveSelected() {
    for (QTreeWidgetItem* line : tvItems->selectedItems()) {
        const TItemState state = items_[line].item.state;
        if (state == TItemState::Running) continue;
        items_.erase(line);
        delete line;
    }
    ForgetRemovedLines();
}

void TTransferListView::ClearFinished() {
    for (int row = tvItems->topLevelItemCount() - 1; row >= 0; --row) {
        QTreeWidgetItem* line = tvItems->topLevelItem(row);
        if (!Finished(items_[line].item.state)) continue;
        items_.erase(line);
        delete line;
    }
    ForgetRemovedLines();
}

void TTransferListView::ForgetRemovedLines() {
    std::erase_if(lines_, [this](const auto& entry) { return !items_.contains(entry.second); });
}
