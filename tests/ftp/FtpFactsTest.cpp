// The parsers of the newer replies: FEAT's list, EPSV's port, MLSD's facts
// and the times of MDTM and MFMT.
#include <gtest/gtest.h>

#include "ftp/FtpDataAddress.h"
#include "ftp/FtpFeatures.h"
#include "ftp/FtpRemoteEntry.h"

namespace {

TEST(FtpFacts, FeatureListKeepsNamesAndParameters) {
    FtpFeatures features;
    for (const char* line : {"211-Features:", " MDTM", " MLST type*;size*;modify*;", "UTF8", " SITE UTIME", "211 End"})
        features.AddLine(line);
    EXPECT_TRUE(features.Has("mdtm"));
    EXPECT_TRUE(features.Has("UTF8"));
    EXPECT_FALSE(features.Has("EPSV"));
    EXPECT_EQ(features.Parameters("MLST"), "type*;size*;modify*;");
    EXPECT_TRUE(features.HasLine("site utime"));
    EXPECT_EQ(features.Lines().size(), 4u);
}

TEST(FtpFacts, EpsvPortNeedsTheWholeForm) {
    int port = 0;
    EXPECT_TRUE(ParseEpsvPort("229 Entering Extended Passive Mode (|||6446|)", port));
    EXPECT_EQ(port, 6446);
    EXPECT_TRUE(ParseEpsvPort("229 ok (!!!1!)", port));
    EXPECT_EQ(port, 1);
    for (const char* bad : {"229 (|||0|)", "229 (|||65536|)", "229 (||1|2|)", "229 (|||12)", "229 |||12|", "229 (1112)"})
        EXPECT_FALSE(ParseEpsvPort(bad, port)) << bad;
    EXPECT_EQ(EprtCommand("::1", 2121), "EPRT |2|::1|2121|");
    EXPECT_EQ(EprtCommand("127.0.0.1", 20), "EPRT |1|127.0.0.1|20|");
}

TEST(FtpFacts, MlsdLinesKeepNamesExactlyAndSkipTheFolderItself) {
    const auto entries = ParseMlsdListing(
        "type=cdir;modify=20240101000000; .\r\n"
        "type=pdir; ..\r\n"
        "Type=File;Size=12;Modify=20240229235960.5;UNIX.mode=0644;  two leading blanks\r\n"
        "type=dir;modify=19991231235959;unique=801U1e33; a folder\n"
        "type=OS.unix=slink:/etc/target;size=11; link\r\n"
        "no facts here\r\n"
        "type=file;size=x;modify=bad; ünï\r\n"
        "type=file;unix.mode=0o640; python\r\n");
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].Name, " two leading blanks");
    EXPECT_EQ(entries[0].Type, TFtpEntryType::File);
    EXPECT_EQ(entries[0].Size, 12);
    EXPECT_EQ(entries[0].ModifyUtc, 1709251200);  // a leap second reads as the next minute
    EXPECT_EQ(entries[0].UnixMode, 0644);
    EXPECT_EQ(entries[1].Name, "a folder");
    EXPECT_EQ(entries[1].Type, TFtpEntryType::Folder);
    EXPECT_EQ(entries[1].ModifyUtc, 946684799);
    EXPECT_EQ(entries[1].Unique, "801U1e33");
    EXPECT_EQ(entries[2].Type, TFtpEntryType::Link);
    EXPECT_EQ(entries[2].LinkTarget, "/etc/target");
    EXPECT_EQ(entries[3].Name, "ünï");
    EXPECT_EQ(entries[3].Size, -1);
    EXPECT_FALSE(entries[3].ModifyUtc.has_value());
    EXPECT_EQ(entries[4].UnixMode, 0640) << "the mode as pyftpdlib writes it";
}

TEST(FtpFacts, FtpTimesRoundTripInUtc) {
    EXPECT_EQ(FormatFtpTime(0), "19700101000000");
    EXPECT_EQ(ParseFtpTime(FormatFtpTime(1700000000)), 1700000000);
    EXPECT_FALSE(ParseFtpTime("2024133100000").has_value());
    EXPECT_FALSE(ParseFtpTime("20241301000000").has_value());
}

}  // namespace
