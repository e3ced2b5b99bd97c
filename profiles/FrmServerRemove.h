#pragma once
// The remove list: several profiles may be selected and deleted at once,
// after a Yes/No/Cancel question. A removed profile is freed at once.
//
// Main-window use:
//   int removed = TfrmServerRemove::Execute(this, store.ServerList, fillMenu, forget);
// centres the dialog over `this` and shows it modally. `forget(profile)` runs
// just before each profile is freed (drop any pointer to it, such as the
// profile of the current session); `fillMenu` runs once after a removal.
// Returns the number of profiles removed.

#include <functional>
#include <string>

#include "profiles/ServerListDialog.h"

class TfrmServerRemove : public TServerListDialog {
public:
    explicit TfrmServerRemove(TServerList& servers, QWidget* parent = nullptr);

    static int Execute(QWidget* owner, TServerList& servers, const std::function<void()>& serversChanged,
                       const std::function<void(TFTPServer*)>& forgetServer = {});

    // The question asked before `count` profiles are deleted.
    static std::string QuestionText(int count);

    int RemovedCount() const { return removed_; }

    void btnOkClick();

    QPushButton* btnOk;
    QPushButton* btnCancel;

private:
    void RemoveSelected();

    int removed_ = 0;
};
