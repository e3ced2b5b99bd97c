#pragma once
// Fixture of the cases that run vftp against a real server on loopback, one
// instance per server ("pyftpdlib" or "vsftpd"): URLs with the server's
// user, paths on its disk, and a private folder vftp runs in.
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/PyFtpdServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/VsftpdServer.h"
#include "tests/tools/VftpProcess.h"

class VftpServerTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (GetParam() == "pyftpdlib")
            server_ = std::make_unique<PyFtpdServer>();
        else
            server_ = std::make_unique<VsftpdServer>();
        ASSERT_TRUE(server_->Start()) << server_->Error();
    }
    std::string Url(const std::string& path) const {
        return "ftp://" + server_->User() + ":" + server_->Password() + "@127.0.0.1:" + std::to_string(server_->Port()) + "/" +
               path;
    }
    std::string Remote(const std::string& path) const { return server_->Root() + "/" + path; }
    Outcome Vftp(std::vector<std::string> args) { return RunVftp(args, local_.Path(), local_.Path()); }

    std::unique_ptr<FtpServerProcess> server_;
    TempDir local_;
};
