// Reading listings into the remote list: the column split of the Unix long
// format, the entries it gives, odd formats that must not break anything,
// and the list's order.
#include <gtest/gtest.h>

#include <QMimeData>
#include <fstream>

#include "session/ListingLine.h"
#include "tests/session/SessionFixture.h"
#include "tests/support/TempDir.h"
#include "util/ui/TypeIcons.h"

namespace {

struct Row {
    std::string name, type, permission, owner, group, size, modified, link;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& r) {
    return out << '[' << r.name << '|' << r.type << '|' << r.permission << '|' << r.owner << '|' << r.group << '|' << r.size
               << '|' << r.modified << '|' << r.link << ']';
}

class ListingParse : public SessionFixture {
protected:
    // Writes the lines to the listing file and reads it as a finished listing.
    void Parse(const std::string& listing) {
        session.ListingTempFile = work.File("listing.tmp");
        std::ofstream(session.ListingTempFile, std::ios::binary) << listing;
        session.ParseListing(session.ListingTempFile);
    }
    Row At(int row) const {
        Row r;
        std::string* texts[] = {&r.name, &r.type, &r.permission, &r.owner, &r.group, &r.size, &r.modified, &r.link};
        for (int c = 0; c < TRemoteListView::ColumnCount; ++c) *texts[c] = files->ColumnText(row, c);
        return r;
    }
    // The row of `name`, which must be there once.
    Row Named(const std::string& name) const {
        for (int row = 0; row < files->Count(); ++row)
            if (files->Caption(row) == name) return At(row);
        ADD_FAILURE() << "no entry " << name;
        return {};
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int row = 0; row < files->Count(); ++row) names.push_back(files->Caption(row));
        return names;
    }

    TempDir work;
};

TEST(ListingLine, SplitsColumnsAsTheLongFormatLaysThemOut) {
    struct Case {
        std::string line;
        std::vector<std::string> fields;  // up to the highest one that got a character
    };
    const Case cases[] = {
        {"-rw-r--r--   1 web  users   1024 Jan  5 12:00 my page.htm",
         {"-rw-r--r--", "1", "web", "users", "1024", "Jan", "5", "12:00", "my page.htm"}},
        {"lrwxrwxrwx 1 web users 11 Jan 5 1998 docs -> public/docs",
         {"lrwxrwxrwx", "1", "web", "users", "11", "Jan", "5", "1998", "docs -> public/docs"}},
        // Field 8 keeps every further blank, leading and trailing ones too.
        {"-rw-r--r-- 1 a b 1 Jan 5 1998   spaced  name  ",
         {"-rw-r--r--", "1", "a", "b", "1", "Jan", "5", "1998", "  spaced  name  "}},
        // A leading blank shifts every column by one.
        {" -rw-r--r-- 1 a b 1 Jan 5 1998 x", {"", "-rw-r--r--", "1", "a", "b", "1", "Jan", "5", "1998 x"}},
        {"word", {"word"}},
        {"two  words   ", {"two", "words"}},
        {"a\rb\nc", {"a", "b", "c"}},
    };
    for (const Case& c : cases) {
        const TListingFields f = SplitListingLine(c.line);
        ASSERT_EQ(f.highest + 1, static_cast<int>(c.fields.size())) << c.line;
        for (std::size_t i = 0; i < c.fields.size(); ++i) EXPECT_EQ(f.field[i], c.fields[i]) << c.line << " field " << i;
        EXPECT_EQ(f.Name(), c.fields.back()) << c.line;
    }
    EXPECT_EQ(SplitListingLine("   ").highest, -1);
    EXPECT_EQ(SplitListingLine("").highest, -1);
    EXPECT_TRUE(IsListingTotalLine("total 48"));
    EXPECT_TRUE(IsListingTotalLine("TOTAL 0"));
    EXPECT_TRUE(IsListingTotalLine("Total "));
    EXPECT_FALSE(IsListingTotalLine("totals 48"));
    EXPECT_FALSE(IsListingTotalLine("total"));
}

TEST(TypeIcons, ExtensionsAndTheirLookUps) {
    EXPECT_EQ(DefaultTypeText(".htm"), "HTM File");
    EXPECT_EQ(DefaultTypeText(""), " File");
    EXPECT_EQ(TypeLookupExtension(".EXE"), ".com");
    EXPECT_EQ(TypeLookupExtension(".Exe"), ".com");
    EXPECT_EQ(TypeLookupExtension(".exe2"), ".exe2");
    QIcon icon;
    QString text = QStringLiteral("QQZZX File");
    LookUpTypeIcon(".qqzzx", icon, text);
    EXPECT_EQ(text, QStringLiteral("QQZZX File"));
    EXPECT_TRUE(icon.isNull());
}

TEST_F(ListingParse, UnixLinesGiveTheirColumns) {
    Parse(
        "total 12\r\n"
        "-rw-r--r--   1 web  users   1024 Jan  5 12:00 my page.htm\r\n"
        "drwxr-xr-x   2 web  users   4096 Feb 10  2001 cgi-bin\r\n"
        "-rw-r--r--   1 web  users      7 Mar  1 09:30   padded.txt\r\n"
        "-rw-r--r--   1 web  users      0 Mar  1 09:30 noext\r\n"
        "\r\n");
    EXPECT_EQ(Named("my page.htm").permission, "-rw-r--r--");
    EXPECT_EQ(Named("my page.htm").owner, "web");
    EXPECT_EQ(Named("my page.htm").group, "users");
    EXPECT_EQ(Named("my page.htm").size, "1024");
    EXPECT_EQ(Named("my page.htm").modified, "Jan 5 12:00");
    EXPECT_EQ(Named("my page.htm").link, "");
    EXPECT_EQ(Named("cgi-bin").type, "Folder");
    EXPECT_EQ(Named("cgi-bin").modified, "Feb 10 2001");
    // Extra blanks before the name belong to it.
    EXPECT_EQ(Named("  padded.txt").size, "7");
    EXPECT_EQ(Named("noext").type, " File");
    // The block total is no entry; "." and ".." are supplied.
    EXPECT_EQ(files->Count(), 6);
    EXPECT_EQ(Named("."), (Row{".", "Folder", "drwxrwxrwx", "", "", "", "", ""}));
    EXPECT_EQ(Named("..").permission, "drwxrwxrwx");
    // The file is gone once read.
    EXPECT_FALSE(std::ifstream(session.ListingTempFile).good());
}

TEST_F(ListingParse, TypeTextComesFromTheExtension) {
    Parse(
        "-rw-r--r-- 1 a b 1 Jan 5 1998 odd.qqzzx\n"
        "-rw-r--r-- 1 a b 1 Jan 5 1998 UPPER.QQZZX\n"
        "-rw-r--r-- 1 a b 1 Jan 5 1998 page.htm\n");
    // Unregistered extensions keep the "EXT File" text, in upper case.
    EXPECT_EQ(Named("odd.qqzzx").type, "QQZZX File");
    EXPECT_EQ(Named("UPPER.QQZZX").type, "QQZZX File");
    // A registered one takes the desktop's description.
    EXPECT_NE(Named("page.htm").type, "HTM File");
    EXPECT_FALSE(Named("page.htm").type.empty());
}

TEST_F(ListingParse, ListingWithDotEntriesShowsThemOnce) {
    Parse(
        "drwxr-xr-x 2 a b 4096 Jan 5 1998 .\n"
        "drwxr-xr-x 9 a b 4096 Jan 5 1998 ..\n"
        "-rw-r--r-- 1 a b 1 Jan 5 1998 f\n");
    EXPECT_EQ(Names(), (std::vector<std::string>{".", "..", "f"}));
    EXPECT_EQ(Named(".").owner, "a");
}

TEST_F(ListingParse, SingleWordLineIsNameAndPermission) {
    Parse("dfolderlike\nplainword\n");
    EXPECT_EQ(Named("dfolderlike").permission, "dfolderlike");
    EXPECT_EQ(Named("dfolderlike").type, "Folder");
    EXPECT_EQ(Named("plainword").permission, "plainword");
    EXPECT_NE(Named("plainword").type, "Folder");
}

TEST_F(ListingParse, OddFormatsShowWhatFallsInTheColumns) {
    const std::string longName(100000, 'x');
    std::string listing =
        "12-01-20  10:00AM       <DIR>          iis folder\r\n"
        "12-01-20  10:00AM                 1234 iis file.txt\r\n"
        "type=file;size=10;modify=20200101000000; facts.txt\r\n"
        "\r\n   \r\n\t\r\n"
        "garbage \xff\xfe\x80 bytes\r\n"
        "-rw-r--r-- 1 a b 3 Jan 5 1998 caf\xe9.txt\r\n";
    listing += longName + "\r\n";
    listing += "-rw-r--r-- 1 a b 9 Jan 5 1998 last.txt";  // no line end at the very end
    Parse(listing);
    // DOS-style lines have five columns; the last one is taken as the name.
    EXPECT_EQ(Named("file.txt").permission, "12-01-20");
    EXPECT_EQ(Named("file.txt").owner, "1234");
    EXPECT_EQ(Named("folder").owner, "<DIR>");
    EXPECT_EQ(Named("facts.txt").permission, "type=file;size=10;modify=20200101000000;");
    EXPECT_EQ(Named("bytes").permission, "garbage");
    // Bytes invalid in the locale's encoding come back unchanged.
    EXPECT_EQ(Named("caf\xe9.txt").size, "3");
    EXPECT_EQ(Named(longName).permission, longName);
    EXPECT_EQ(Named("last.txt").size, "9");
    // A tab is no separator: the line is a one-word entry.
    EXPECT_EQ(Named("\t").permission, "\t");
}

TEST_F(ListingParse, DraggedRowsCarryTheirNames) {
    Parse("-rw-r--r-- 1 a b 1 Jan 5 1998 one.txt\n-rw-r--r-- 1 a b 1 Jan 5 1998 two words.txt\n");
    TRemoteFileModel* model = files->Model();
    const QModelIndexList dragged = {model->index(2, 0), model->index(2, 3), model->index(3, 0)};
    EXPECT_TRUE(model->flags(dragged[0]) & Qt::ItemIsDragEnabled);
    std::unique_ptr<QMimeData> data(model->mimeData(dragged));
    EXPECT_EQ(data->data(QString::fromLatin1(TRemoteFileModel::DragMimeType)).toStdString(), "one.txt\ntwo words.txt\n");
    EXPECT_FALSE(data->hasText()) << "other programs cannot take remote entries";
}

TEST_F(ListingParse, MissingFileLeavesTheList) {
    Parse("-rw-r--r-- 1 a b 1 Jan 5 1998 kept\n");
    const int before = files->Count();
    session.ParseListing(work.File("no-such-listing"));
    EXPECT_EQ(files->Count(), before);
    EXPECT_EQ(Named("kept").size, "1");
}

TEST_F(ListingParse, DotsFirstThenFoldersThenNamesInOrder) {
    Parse(
        "-rw-r--r-- 1 a b 1 Jan 5 1998 alpha.txt\n"
        "drwxr-xr-x 2 a b 1 Jan 5 1998 zeta\n"
        "-rw-r--r-- 1 a b 1 Jan 5 1998 beta.txt\n"
        "drwxr-xr-x 2 a b 1 Jan 5 1998 ..\n"
        "Drwxr-xr-x 2 a b 1 Jan 5 1998 mid\n"
        "-rw-r--r-- 1 a b 1 Jan 5 1998 gamma.txt\n"
        "drwxr-xr-x 2 a b 1 Jan 5 1998 .\n");
    EXPECT_EQ(Names(), (std::vector<std::string>{".", "..", "mid", "zeta", "alpha.txt", "beta.txt", "gamma.txt"}));
    // An entry added on its own takes its place in the order.
    session.AddRemoteItem("beta2.txt", "-rw-r--r--", "a", "b", "5", "Jan 5 1998");
    session.AddRemoteItem("aaa", "drwxr-xr-x", "a", "b", "5", "Jan 5 1998");
    EXPECT_EQ(Names(),
              (std::vector<std::string>{".", "..", "aaa", "mid", "zeta", "alpha.txt", "beta.txt", "beta2.txt", "gamma.txt"}));
    // Sorting by size keeps the dots and folders first.
    files->Model()->sort(TRemoteFileModel::colSize, Qt::DescendingOrder);
    EXPECT_EQ(Names()[0], ".");
    EXPECT_EQ(Names()[1], "..");
    EXPECT_EQ(Names()[5], "beta2.txt");
}

}  // namespace
