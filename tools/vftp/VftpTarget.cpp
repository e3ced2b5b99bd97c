#include "tools/vftp/VftpTarget.h"

#include "tools/vftp/Netrc.h"
#include "tools/vftp/PasswordPrompt.h"
#include "tools/vftp/VftpProfiles.h"
#include "util/WindowDataFiles.h"

namespace {

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

bool IsAnonymousUser(const std::string& user) {
    TFTPServer probe;
    probe.Username = user;
    return probe.IsAnonymous();
}

}  // namespace

VftpTargetResolver::VftpTargetResolver()
    : netrcPath(DefaultNetrcPath()), profileFile(WindowServerIniFile), askPassword(AskPassword) {}

bool VftpTargetResolver::Fail(const std::string& text) {
    error_ = text;
    return false;
}

std::optional<VftpTarget> VftpTargetResolver::Resolve(const std::string& argument) {
    error_.clear();
    showUsage_ = false;
    VftpTarget target;
    if (!argument.empty() && argument[0] == '@') {
        if (!FromProfile(argument.substr(1), target)) return std::nullopt;
    } else {
        std::string error;
        auto url = ParseFtpUrl(argument, error);
        if (!url) {
            showUsage_ = true;
            Fail(MaskedUrl(argument) + ": " + error);
            return std::nullopt;
        }
        target.url = *url;
    }
    if (!FillPassword(target.url)) return std::nullopt;
    return target;
}

bool VftpTargetResolver::FromProfile(const std::string& nameAndPath, VftpTarget& target) {
    const VftpProfiles profiles(profileFile());
    const TFTPServer* server = nullptr;
    std::size_t end = nameAndPath.size();
    for (; end != std::string::npos; end = end == 0 ? std::string::npos : nameAndPath.rfind('/', end - 1))
        if ((server = profiles.Find(nameAndPath.substr(0, end))) != nullptr) break;
    if (server == nullptr) {
        const std::vector<std::string> names = profiles.Names();
        return Fail("no saved profile is named '" + nameAndPath.substr(0, nameAndPath.find('/')) + "'; " +
                    (names.empty() ? "there are none in " + profiles.IniFile() : "saved profiles: " + Joined(names)));
    }
    const std::string label = "profile '" + server->Name + "'";
    FtpUrl& url = target.url;
    if (server->Hostname.empty()) return Fail(label + " has no host name");
    if (const std::string refusal = server->ConnectRefusal(); !refusal.empty()) return Fail(refusal);
    if (!ValidFtpPort(server->Port)) return Fail(label + " has an invalid port '" + server->Port + "'");
    if (!PercentDecode(end < nameAndPath.size() ? nameAndPath.substr(end + 1) : "", url.path))
        return Fail(nameAndPath + ": invalid percent encoding in the path");
    url.host = server->Hostname;
    url.port = server->Port;
    if (!server->Username.empty()) {
        url.user = server->Username;
        url.hasUser = true;
        url.password = server->Password;
        url.hasPassword = !server->Password.empty();
    }
    target.passive = server->PASV == TPasvMode::Yes;
    target.encryption = server->Encryption;
    target.profile = *server;
    return true;
}

bool VftpTargetResolver::FillPassword(FtpUrl& url) {
    if (forceNetrc) return FromNetrc(url, true);
    if (url.hasPassword) return true;
    if (!FromNetrc(url, false)) return false;
    if (url.hasPassword || !url.hasUser) return true;
    if (IsAnonymousUser(url.user)) {
        url.password = FtpUrl().password;
        return true;
    }
    if (askPassword) {
        if (auto answer = askPassword("Password for " + url.user + "@" + url.host + ": ")) {
            url.password = *answer;
            url.hasPassword = true;
        }
    }
    return true;
}

bool VftpTargetResolver::FromNetrc(FtpUrl& url, bool required) {
    const NetrcFile netrc = LoadNetrc(netrcPath);
    if (netrc.status == NetrcStatus::Refused) return Fail(netrc.error);
    if (netrc.status == NetrcStatus::Missing) return !required || Fail("--netrc: there is no " + netrcPath);
    const auto login = url.hasUser ? std::optional(url.user) : std::nullopt;
    const NetrcEntry* entry = FindNetrcEntry(netrc.entries, url.host, login);
    if (entry != nullptr && !url.hasUser && entry->login) {
        url.user = *entry->login;
        url.hasUser = true;
        url.password.clear();  // not the anonymous default
    }
    if (entry != nullptr && entry->password) {
        url.password = *entry->password;
        url.hasPassword = true;
    } else if (required) {
        return Fail("--netrc: " + netrcPath + " has no password for " + (url.hasUser ? url.user + "@" : "") + url.host);
    }
    return true;
}
