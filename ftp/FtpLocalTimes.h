#pragma once
// A local file's modification time in the form the server's times take:
// whole seconds since the epoch, UTC. For keeping file times across
// transfers.

#include <cstdint>
#include <optional>
#include <string>

std::optional<std::int64_t> LocalFileTime(const std::string& Path);
// Sets the modification time (the access time too); false when it cannot.
bool SetLocalFileTime(const std::string& Path, std::int64_t Utc);
