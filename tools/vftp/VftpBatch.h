#pragma once
// The vftp commands of many files, run on the transfer layer: mirror, get
// of several files into a folder, put of several files into a remote folder,
// and rm -r. Each prints a progress line for the whole run (unless -q) and a
// summary line, and exits 0 only when every item succeeded.

#include <memory>
#include <string>
#include <vector>

#include "tools/vftp/VftpOptions.h"
#include "tools/vftp/VftpRunner.h"
#include "transfer/FileTree.h"
#include "transfer/TransferConnection.h"
#include "transfer/TransferItem.h"

class VftpBatch {
public:
    static bool Handles(const VftpOptions& options);

    VftpBatch(const VftpOptions& options, VftpRunner& runner) : options_(options), runner_(runner) {}
    int Run();

private:
    int Mirror();
    int GetMany();
    int PutMany();
    int RemoveTree();

    // Resolves the URL into endpoint_ and url_; 2 after a message when it
    // cannot be, else 0.
    int Resolve(const std::string& urlText);
    // Logs the connection that walks the remote tree in; false after a message.
    bool ConnectBrowser();
    TTransferResult Await(const std::function<void(TTransferCallback)>& start);
    TTransferResult WalkRemote(const std::string& root, TFileTree& tree, bool missingIsEmpty,
                               const std::vector<std::string>& excludes);
    // The URL's folder as an absolute path on the server.
    std::string RemoteRoot() const;
    void ShowSkipped(const TFileTree& tree) const;
    int RunItems(std::vector<TTransferItem> items, int skipped, int conflicts);
    int Failure(const std::string& text) const;
    int Usage(const std::string& text) const;

    const VftpOptions& options_;
    VftpRunner& runner_;
    TFtpEndpoint endpoint_;
    FtpUrl url_;
    std::unique_ptr<TTransferConnection> browser_;
};
