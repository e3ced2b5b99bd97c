#include "tests/support/VsftpdServer.h"

#include <sys/stat.h>

#include <random>

VsftpdServer::VsftpdServer() : FtpServerProcess("vsftpd", "anonymous", "tester@example.org", "banned@example.org") {}

// TLS as hosting providers set it up: log-in and data only encrypted, and
// data connections only on the control connection's TLS session.
std::string VsftpdServer::TlsSettings() const {
    if (!Tls()) return {};
    return "ssl_enable=YES\n"
           "allow_anon_ssl=YES\n"
           "force_anon_logins_ssl=YES\n"
           "force_anon_data_ssl=YES\n"
           "force_local_logins_ssl=YES\n"
           "force_local_data_ssl=YES\n"
           "require_ssl_reuse=YES\n"
           "rsa_cert_file=" +
           TlsCert() + "\nrsa_private_key_file=" + TlsKey() + "\n" + (ImplicitTls() ? "implicit_ssl=YES\n" : "");
}

std::vector<std::string> VsftpdServer::Prepare() {
    const std::string empty = Work().File("empty");
    ::mkdir(empty.c_str(), 0755);
    (void)WriteFile(Work().File("banned"), WrongPassword() + "\n");
    std::random_device seed;
    const int pasvLow = 30000 + static_cast<int>(seed() % 20000);
    const std::string listen =
        Ipv6() ? "listen=NO\nlisten_ipv6=YES\nlisten_address6=::1\n" : "listen=YES\nlisten_ipv6=NO\nlisten_address=127.0.0.1\n";
    const std::string config = listen + "listen_port=" + std::to_string(Port()) +
                               "\n"
                               "background=NO\n"
                               "run_as_launching_user=YES\n"
                               "seccomp_sandbox=NO\n"
                               "secure_chroot_dir=" +
                               empty +
                               "\n"
                               "anonymous_enable=YES\n"
                               "local_enable=NO\n"
                               "anon_root=" +
                               Root() +
                               "\n"
                               "allow_writeable_chroot=YES\n"
                               "write_enable=YES\n"
                               "anon_upload_enable=YES\n"
                               "anon_mkdir_write_enable=YES\n"
                               "anon_other_write_enable=YES\n"
                               "anon_world_readable_only=NO\n"
                               "anon_umask=022\n"
                               "deny_email_enable=YES\n"
                               "banned_email_file=" +
                               Work().File("banned") +
                               "\n"
                               "pasv_enable=YES\n" +
                               std::string(Ipv6() ? "" : "pasv_address=127.0.0.1\n") +
                               "pasv_min_port=" + std::to_string(pasvLow) +
                               "\n"
                               "pasv_max_port=" +
                               std::to_string(pasvLow + 200) +
                               "\n"
                               "port_enable=YES\n"
                               "connect_from_port_20=NO\n"
                               "xferlog_enable=NO\n"
                               "syslog_enable=NO\n"
                               "dirmessage_enable=NO\n"
                               "delay_failed_login=0\n"
                               "ascii_upload_enable=YES\n"
                               "ascii_download_enable=YES\n"
                               "ftpd_banner=Scratch server ready\n" +
                               TlsSettings();
    const std::string path = Work().File("vsftpd.conf");
    (void)WriteFile(path, config);
    ::chmod(path.c_str(), 0600);
    return {"/usr/sbin/vsftpd", path};
}
