#pragma once
// Base fixture of the scripted cases: a scripted server, an engine pointed at
// it and a probe on the engine. A case writes the server's script first,
// then starts it; the script must have run without a mismatch.

#include <gtest/gtest.h>

#include "ftp/Ftpcli.h"
#include "tests/ftp/EngineProbe.h"
#include "tests/support/ScriptedFtpServer.h"

class ScriptedEngineTest : public ::testing::Test {
protected:
    void StartServer() {
        ASSERT_TRUE(server.Start()) << server.Failure();
        PointAtScripted(ftp, server.Port());
    }
    // StartServer, then a blocking log-in whose events are forgotten.
    void StartLoggedIn() {
        StartServer();
        ASSERT_TRUE(ftp.Login()) << ftp.ErrorMessage();
        probe.Settle(20);
        probe.done.clear();
    }
    void TearDown() override {
        EXPECT_EQ(server.Failure(), "");
        server.Stop();
    }

    ScriptedFtpServer server;
    TFtpClient ftp;
    EngineProbe probe{ftp};
};
