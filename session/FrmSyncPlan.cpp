#include "session/FrmSyncPlan.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "util/ui/UiUtils.h"

namespace {

const char* ActionText(TSyncActionKind kind) {
    switch (kind) {
        case TSyncActionKind::Upload: return QT_TRANSLATE_NOOP("TfrmSyncPlan", "Upload");
        case TSyncActionKind::Download: return QT_TRANSLATE_NOOP("TfrmSyncPlan", "Download");
        case TSyncActionKind::Delete: return QT_TRANSLATE_NOOP("TfrmSyncPlan", "Delete");
        case TSyncActionKind::MakeFolder: return QT_TRANSLATE_NOOP("TfrmSyncPlan", "Make folder");
        case TSyncActionKind::Conflict: return QT_TRANSLATE_NOOP("TfrmSyncPlan", "Conflict");
        case TSyncActionKind::Skip: break;
    }
    return "";
}

// The plan's reasons as the user reads them.
QString ReasonText(const std::string& reason) {
    static const char* const known[] = {
        QT_TRANSLATE_NOOP("TfrmSyncPlan", "newer"),
        QT_TRANSLATE_NOOP("TfrmSyncPlan", "size differs"),
        QT_TRANSLATE_NOOP("TfrmSyncPlan", "time differs"),
        QT_TRANSLATE_NOOP("TfrmSyncPlan", "not in the target"),
        QT_TRANSLATE_NOOP("TfrmSyncPlan", "not in the source"),
        QT_TRANSLATE_NOOP("TfrmSyncPlan", "a folder in the source, a file in the target"),
        QT_TRANSLATE_NOOP("TfrmSyncPlan", "a file in the source, a folder in the target"),
    };
    for (const char* text : known)
        if (reason == text) return QCoreApplication::translate("TfrmSyncPlan", text);
    return ToQt(reason);
}

bool Below(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

bool Making(TSyncActionKind kind) {
    return kind == TSyncActionKind::Upload || kind == TSyncActionKind::Download || kind == TSyncActionKind::MakeFolder;
}

}  // namespace

TfrmSyncPlan::TfrmSyncPlan(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Synchronisation plan"));
    tvActions = new QTreeWidget(this);
    tvActions->setRootIsDecorated(false);
    tvActions->setUniformRowHeights(true);
    tvActions->setHeaderLabels({tr("Action"), tr("Path"), tr("Size"), tr("Reason")});
    tvActions->header()->setSectionResizeMode(colPath, QHeaderView::Stretch);
    tvActions->header()->setStretchLastSection(false);
    lblTotals = new QLabel(this);
    lblTotals->setTextFormat(Qt::PlainText);
    lblTotals->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(this);
    btnRun = buttons->addButton(tr("&Run"), QDialogButtonBox::AcceptRole);
    btnRun->setDefault(true);
    btnCancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(tvActions, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* line, int column) {
        if (column == colAction) Ticked(line);
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tvActions, 1);
    layout->addWidget(lblTotals);
    layout->addWidget(buttons);
    resize(640, 420);
}

void TfrmSyncPlan::SetPlan(const std::vector<TSyncAction>& plan) {
    updating_ = true;
    tvActions->clear();
    actions_ = plan;
    lines_.assign(plan.size(), nullptr);
    unchanged_ = 0;
    const QLocale locale;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const TSyncAction& action = plan[i];
        if (action.kind == TSyncActionKind::Skip) {
            ++unchanged_;
            continue;
        }
        auto* line = new QTreeWidgetItem(tvActions);
        line->setText(colAction, tr(ActionText(action.kind)));
        line->setText(colPath, ToQt(action.path + (action.folder ? "/" : "")));
        if (!action.folder) line->setText(colSize, locale.toString(static_cast<qlonglong>(action.size)));
        line->setTextAlignment(colSize, Qt::AlignRight | Qt::AlignVCenter);
        line->setText(colReason, ReasonText(action.reason));
        line->setData(colAction, Qt::UserRole, static_cast<int>(i));
        if (action.kind == TSyncActionKind::Conflict)
            line->setFlags(line->flags() & ~Qt::ItemIsUserCheckable);
        else
            line->setCheckState(colAction, Qt::Checked);
        lines_[i] = line;
    }
    for (int column : {colAction, colSize, colReason}) tvActions->resizeColumnToContents(column);
    updating_ = false;
    ShowTotals();
}

std::vector<TSyncAction> TfrmSyncPlan::TickedActions() const {
    std::vector<TSyncAction> ticked;
    for (std::size_t i = 0; i < actions_.size(); ++i)
        if (lines_[i] != nullptr && actions_[i].kind != TSyncActionKind::Conflict &&
            lines_[i]->checkState(colAction) == Qt::Checked)
            ticked.push_back(actions_[i]);
    return ticked;
}

void TfrmSyncPlan::Ticked(QTreeWidgetItem* line) {
    if (updating_) return;
    updating_ = true;
    const TSyncAction& changed = actions_[static_cast<std::size_t>(line->data(colAction, Qt::UserRole).toInt())];
    const bool on = line->checkState(colAction) == Qt::Checked;
    for (std::size_t i = 0; i < actions_.size(); ++i) {
        const TSyncAction& other = actions_[i];
        const int index = static_cast<int>(i);
        if (Making(changed.kind) && other.kind == TSyncActionKind::MakeFolder && on && Below(changed.path, other.path))
            SetTick(index, true);
        if (changed.kind == TSyncActionKind::MakeFolder && Making(other.kind) && !on && Below(other.path, changed.path))
            SetTick(index, false);
        if (changed.kind == TSyncActionKind::Delete && other.kind == TSyncActionKind::Delete) {
            if (on && changed.folder && Below(other.path, changed.path)) SetTick(index, true);
            if (!on && other.folder && Below(changed.path, other.path)) SetTick(index, false);
        }
    }
    updating_ = false;
    ShowTotals();
}

void TfrmSyncPlan::SetTick(int index, bool on) {
    QTreeWidgetItem* line = lines_[static_cast<std::size_t>(index)];
    if (line != nullptr && (line->flags() & Qt::ItemIsUserCheckable))
        line->setCheckState(colAction, on ? Qt::Checked : Qt::Unchecked);
}

void TfrmSyncPlan::ShowTotals() {
    int counts[6] = {};
    qlonglong bytes = 0;
    for (const TSyncAction& action : TickedActions()) {
        ++counts[static_cast<int>(action.kind)];
        if (action.kind == TSyncActionKind::Upload || action.kind == TSyncActionKind::Download) bytes += action.size;
    }
    const int conflicts = static_cast<int>(std::count_if(
        actions_.begin(), actions_.end(), [](const TSyncAction& a) { return a.kind == TSyncActionKind::Conflict; }));
    const bool anything = tvActions->topLevelItemCount() > 0;
    const QLocale locale;
    QString text = anything ? tr("To upload: %1, to download: %2, to delete: %3, folders to make: %4; %5 bytes in all. "
                                 "Unchanged: %6.")
                                  .arg(counts[static_cast<int>(TSyncActionKind::Upload)])
                                  .arg(counts[static_cast<int>(TSyncActionKind::Download)])
                                  .arg(counts[static_cast<int>(TSyncActionKind::Delete)])
                                  .arg(counts[static_cast<int>(TSyncActionKind::MakeFolder)])
                                  .arg(locale.toString(bytes))
                                  .arg(unchanged_)
                            : tr("Nothing to do: the folders are alike (%1 files unchanged).").arg(unchanged_);
    if (conflicts > 0) text += QLatin1Char(' ') + tr("Conflicts left as they are: %1.").arg(conflicts);
    lblTotals->setText(text);
    btnRun->setEnabled(!TickedActions().empty());
}
