#include "toolkit/SysUtils.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <vector>

using namespace ovrel::toolkit;

namespace {

std::vector<std::string> FindAll(const std::string& pathAndMask, int attr)
{
    std::vector<std::string> names;
    TSearchRec rec;
    if (FindFirst(pathAndMask, attr, rec) == 0) {
        do
            names.push_back(rec.Name);
        while (FindNext(rec) == 0);
    }
    FindClose(rec);
    return names;
}

using Names = std::vector<std::string>;

// A folder of every kind of entry a photo folder may hold.
class FileSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder.Write("b.jpg", "bb");
        folder.Write("A.JPG", "a");
        folder.Write("c.ini", "");
        folder.Write("noext", "");
        folder.Write(".hidden.jpg", "h");
        ::mkdir(folder.File("sub.jpg").c_str(), 0755);
        ::mkfifo(folder.File("pipe.jpg").c_str(), 0644);
        [[maybe_unused]] int r = ::symlink(folder.File("b.jpg").c_str(), folder.File("link.jpg").c_str());
        r = ::symlink(folder.File("missing").c_str(), folder.File("dangling.jpg").c_str());
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string socketName = folder.File("sock.jpg");
        if (socketName.size() < sizeof address.sun_path) {
            socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            std::copy(socketName.begin(), socketName.end(), address.sun_path);
            r = ::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        }
    }
    void TearDown() override
    {
        if (socketFd >= 0)
            ::close(socketFd);
    }

    TempFolder folder;
    int socketFd = -1;
};

}  // namespace

TEST_F(FileSearch, FindsRegularFilesSortedByName)
{
    // No directory, FIFO, socket, dangling link or hidden file; the link to a file counts as a file.
    EXPECT_EQ(FindAll(folder.File("*.jpg"), faAnyFile & ~faHidden & ~faDirectory),
              (Names{"A.JPG", "b.jpg", "link.jpg"}));
}

TEST_F(FileSearch, AttributesDecideHiddenFilesAndFolders)
{
    struct Row {
        const char* name;
        int attr;
        Names expected;
    };
    const Row rows[] = {
        {"ReadOnlyHiddenArchive", faReadOnly | faHidden | faArchive, {".hidden.jpg", "A.JPG", "b.jpg", "link.jpg"}},
        {"Plain", 0, {"A.JPG", "b.jpg", "link.jpg"}},
        {"WithFolders", faDirectory, {"A.JPG", "b.jpg", "link.jpg", "sub.jpg"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FindAll(folder.File("*.jpg"), row.attr), row.expected);
    }
}

TEST_F(FileSearch, MasksMatchWithoutCaseAndStarDotStarMatchesEverything)
{
    struct Row {
        const char* mask;
        Names expected;
    };
    const Row rows[] = {
        {"*.*", {"A.JPG", "b.jpg", "c.ini", "link.jpg", "noext"}},
        {"*", {"A.JPG", "b.jpg", "c.ini", "link.jpg", "noext"}},
        {"*.INI", {"c.ini"}},
        {"?.jpg", {"A.JPG", "b.jpg"}},
        {"a.jpg", {"A.JPG"}},
        {"no*", {"noext"}},
        {"*.png", {}},
        {"", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mask);
        EXPECT_EQ(FindAll(folder.File(row.mask), faReadOnly | faArchive), row.expected);
    }
}

TEST_F(FileSearch, ReportsSizeAttributesAndTime)
{
    ::chmod(folder.File("b.jpg").c_str(), 0444);
    TSearchRec rec;
    ASSERT_EQ(FindFirst(folder.File("*.jpg"), faHidden, rec), 0);
    std::vector<TSearchRec> found;
    do
        found.push_back(rec);
    while (FindNext(rec) == 0);
    FindClose(rec);
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].Attr & faHidden, faHidden);
    EXPECT_EQ(found[2].Name, "b.jpg");
    EXPECT_EQ(found[2].Size, 2);
    EXPECT_EQ(found[2].Attr & faReadOnly, faReadOnly);
    EXPECT_EQ(found[3].Attr & faSymLink, faSymLink);
    EXPECT_GT(found[2].Time, EncodeDate(2020, 1, 1));
}

TEST(FileSearchFailures, AMissingOrUnreadableFolderFindsNothing)
{
    TSearchRec rec;
    EXPECT_NE(FindFirst("/no/such/folder/*.*", faAnyFile, rec), 0);
    EXPECT_NE(FindNext(rec), 0);
    FindClose(rec);

    TempFolder folder;
    folder.Write("x.jpg", "x");
    ::chmod(folder.Path().c_str(), 0);
    if (::access(folder.Path().c_str(), R_OK) != 0) {  // root reads anyway
        EXPECT_NE(FindFirst(folder.File("*.*"), faAnyFile, rec), 0);
    }
}

TEST(MatchesMask, Wildcards)
{
    EXPECT_TRUE(MatchesMask("photo.jpeg", "*.jp*g"));
    EXPECT_TRUE(MatchesMask("\xC3\x89T\xC3\x89.jpg", "\xC3\xA9t\xC3\xA9.JPG"));  // accented letters fold too
    EXPECT_TRUE(MatchesMask("\xC3\xA9.jpg", "?.jpg"));  // '?' is one character
    EXPECT_FALSE(MatchesMask("ab.jpg", "?.jpg"));
    EXPECT_TRUE(MatchesMask("readme", "readme.*"));
    EXPECT_FALSE(MatchesMask(std::string(64, 'a') + "b", std::string(32, '*') + "c"));
}
