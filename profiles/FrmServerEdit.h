#pragma once
// The edit list: every profile by name; double-clicking one opens the
// profile form on it. Changes go straight into the profile.
//
// Main-window use:
//   TfrmServerEdit::Execute(this, store.ServerList, fillMenu);
// centres the dialog over `this` and shows it modally until "&Finish";
// `fillMenu` runs after every confirmed edit.

#include <functional>

#include "profiles/ServerListDialog.h"

class TfrmServerEdit : public TServerListDialog {
public:
    explicit TfrmServerEdit(TServerList& servers, QWidget* parent = nullptr);

    static void Execute(QWidget* owner, TServerList& servers, const std::function<void()>& serversChanged);

    void lbServersDblClick();
    // Edits the selected profile through the profile form, centred over this
    // dialog; nothing without a selection. True when the form was confirmed.
    bool btnEditClick();

    QPushButton* btnFinish;
};
