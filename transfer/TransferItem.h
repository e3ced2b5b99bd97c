#pragma once
// One unit of work of the transfer queue: a file to move, or a folder to
// make or a file or folder to delete on the target side.

#include <cstdint>
#include <optional>
#include <string>

enum class TTransferDirection { Download, Upload };
enum class TTransferAction { Transfer, MakeFolder, DeleteFile, DeleteFolder };
// What a transfer does when the target file exists: replace it, continue it
// from its size (downloads), or leave it. Rename is the front end's: it sends
// the file under a free name, which the item then carries as a new target.
enum class TFileExistsChoice { Overwrite, Resume, Skip, Rename };
enum class TItemState { Waiting, Running, Done, Failed, Skipped };

struct TTransferItem {
    int id = 0;
    TTransferDirection direction = TTransferDirection::Download;
    TTransferAction action = TTransferAction::Transfer;
    std::string localPath;
    std::string remotePath;
    std::int64_t size = 0;
    // The source's modify time (UTC seconds); a download gives it to the
    // local file, so that the next comparison sees them equal.
    std::optional<std::int64_t> modifiedUtc;
    // An upload gives the server's file modifiedUtc even where the queue
    // does not keep times (a synchronisation must, to see it equal next
    // time).
    bool keepTime = false;
    TFileExistsChoice exists = TFileExistsChoice::Overwrite;
    // An upload's Resume: the bytes the server has, sent on from there.
    std::int64_t resumeAt = 0;
    // Sent in text mode (line ends converted), else byte for byte.
    bool text = false;
    TItemState state = TItemState::Waiting;
    int attempts = 0;
    std::string lastError;
    // Items run in stages: none of a stage starts before every item of the
    // stages below has ended (deletions, then folders parent first, then
    // files).
    int stage = 0;
    // Tick (milliseconds) before which a retry does not start.
    std::uint32_t notBefore = 0;

    // Made or deleted on this machine: no connection needed.
    bool Local() const { return action != TTransferAction::Transfer && direction == TTransferDirection::Download; }
};
