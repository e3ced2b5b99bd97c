#include "app/FtpLink.h"

#include <QUrl>

#include "util/MiscUtils.h"
#include "util/ui/UiUtils.h"

namespace {

// What an anonymous log-in gives as its password: an address, by custom.
constexpr char kAnonymousPassword[] = "velliant-ftp@";

// "user:@host" names an empty password, "user@host" none; the parsed URL
// no longer tells them apart.
bool UserInfoHasPassword(const std::string& text) {
    const std::size_t start = text.find("//") + 2;
    const std::string authority = text.substr(start, text.find('/', start) - start);
    const std::size_t at = authority.rfind('@');
    return at != std::string::npos && authority.find(':') < at;
}

}  // namespace

std::optional<TFtpLink> TFtpLink::Parse(const std::string& text, std::string& error) {
    const QUrl url(ToQt(text), QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != QLatin1String("ftp") && scheme != QLatin1String("ftps")) || url.host().isEmpty()) {
        error = Substitute(Translated("TFtpLink", "Not an ftp:// or ftps:// link: %1"), {text});
        return std::nullopt;
    }
    TFtpLink link;
    TFTPServer& profile = link.Profile;
    const bool implicitTls = scheme == QLatin1String("ftps");
    profile.Encryption = implicitTls ? TEncryptionMode::Implicit : TEncryptionMode::Plain;
    profile.Hostname = FromQt(url.host());
    profile.Name = profile.Hostname;
    profile.Port = std::to_string(url.port(implicitTls ? 990 : 21));
    profile.Username = FromQt(url.userName(QUrl::FullyDecoded));
    link.HasPassword = UserInfoHasPassword(text);
    profile.Password = FromQt(url.password(QUrl::FullyDecoded));
    if (profile.Username.empty()) profile.Username = "anonymous";
    if (profile.IsAnonymous() && !link.HasPassword) {
        profile.Password = kAnonymousPassword;
        link.HasPassword = true;
    }
    // "/site" is the folder "site" below the log-in folder; "/%2Fsite" is "/site".
    const std::string path = FromQt(url.path(QUrl::FullyDecoded));
    profile.StartDir = path.empty() ? std::string() : path.substr(1);
    return link;
}

std::string TFtpLink::Address() const {
    return std::string(Profile.Encryption == TEncryptionMode::Implicit ? "ftps://" : "ftp://") + Profile.Username + "@" +
           Profile.Hostname + ":" + Profile.Port;
}

bool TFtpLink::SameServerAndUser(const TFTPServer& profile) const {
    return AsciiUpper(profile.Hostname) == AsciiUpper(Profile.Hostname) && profile.Port == Profile.Port &&
           profile.Username == Profile.Username;
}
