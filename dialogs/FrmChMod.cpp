#include "dialogs/FrmChMod.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "util/MiscUtils.h"
#include "util/ui/UiUtils.h"

TfrmChMod::TfrmChMod(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Change File Permissions"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    lblFilename = new QLabel(this);
    lblFilename->setTextFormat(Qt::PlainText);
    QFont bold = lblFilename->font();
    bold.setBold(true);
    lblFilename->setFont(bold);

    auto* grid = new QGridLayout;
    const char* const columns[] = {QT_TR_NOOP("User"), QT_TR_NOOP("Group"), QT_TR_NOOP("World")};
    const char* const rows[] = {QT_TR_NOOP("Read"), QT_TR_NOOP("Write"), QT_TR_NOOP("Execute")};
    for (int c = 0; c < 3; ++c) grid->addWidget(new QLabel(tr(columns[c]), this), 0, c + 1, Qt::AlignHCenter);
    for (int r = 0; r < 3; ++r) grid->addWidget(new QLabel(tr(rows[r]), this), r + 1, 0);
    QCheckBox** boxes[] = {&cbUserR, &cbUserW, &cbUserX, &cbGroupR, &cbGroupW, &cbGroupX, &cbWorldR, &cbWorldW, &cbWorldX};
    // Created column by column, so Tab runs down the user column first.
    for (int i = 0; i < 9; ++i) {
        *boxes[i] = new QCheckBox(this);
        // The box shows no text of its own: a screen reader says its column
        // and row, "User Read".
        (*boxes[i])->setAccessibleName(tr(columns[i / 3]) + QLatin1Char(' ') + tr(rows[i % 3]));
        grid->addWidget(*boxes[i], i % 3 + 1, i / 3 + 1, Qt::AlignHCenter);
    }
    auto* note = new QLabel(tr("Note: Not all servers support this command."), this);
    note->setWordWrap(true);
    btnOk = new QPushButton(tr("&Cool"), this);
    btnOk->setDefault(true);
    btnCancel = new QPushButton(tr("&No Way"), this);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblFilename);
    layout->addLayout(grid);
    layout->addWidget(note);
    layout->addLayout(buttons);
    // The design's 262 x 176, or what the texts need in a larger font.
    setFixedSize(sizeHint().expandedTo(QSize(262, 176)));
}

void TfrmChMod::Flags(bool (&flags)[9]) const {
    const QCheckBox* boxes[] = {cbUserR, cbUserW, cbUserX, cbGroupR, cbGroupW, cbGroupX, cbWorldR, cbWorldW, cbWorldX};
    for (int i = 0; i < 9; ++i) flags[i] = boxes[i]->isChecked();
}

void LoadPermissions(TfrmChMod& dialog, const std::string& name, const std::string& permissions) {
    const std::size_t cut = name.find_last_of("\\:");
    dialog.lblFilename->setText(ToQt(cut == std::string::npos ? name : name.substr(cut + 1)));
    QCheckBox* boxes[] = {dialog.cbUserR,  dialog.cbUserW,  dialog.cbUserX,  dialog.cbGroupR, dialog.cbGroupW,
                          dialog.cbGroupX, dialog.cbWorldR, dialog.cbWorldW, dialog.cbWorldX};
    const char letters[] = {'R', 'W', 'X'};
    const std::string upper = AsciiUpper(permissions);
    // Position 0 is the entry's type; a class is read only when the text
    // holds all three of its letters.
    for (int group = 0; group < 3; ++group) {
        if (permissions.size() < static_cast<std::size_t>(4 + 3 * group)) break;
        for (int bit = 0; bit < 3; ++bit) {
            boxes[group * 3 + bit]->setChecked(upper[static_cast<std::size_t>(1 + 3 * group + bit)] == letters[bit]);
        }
    }
}

std::string ChmodMode(const bool (&flags)[9]) {
    int mode = 0;
    for (int group = 0; group < 3; ++group) {
        const int digit = (flags[group * 3] ? 4 : 0) + (flags[group * 3 + 1] ? 2 : 0) + (flags[group * 3 + 2] ? 1 : 0);
        mode = mode * 10 + digit;
    }
    return std::to_string(mode);
}
