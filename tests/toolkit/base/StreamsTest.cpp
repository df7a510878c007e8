#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>

using namespace ovrel::toolkit;

namespace {

std::span<const std::uint8_t> Bytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Each stream kind behind the same checks.
struct StreamKind {
    const char* name;
    std::function<std::unique_ptr<TStream>(const TempFolder&)> make;
};

class StreamContract : public ::testing::TestWithParam<StreamKind> {
protected:
    TempFolder folder;
};

}  // namespace

TEST_P(StreamContract, ExactReadsWritesAndSeeks)
{
    std::unique_ptr<TStream> stream = GetParam().make(folder);
    stream->WriteBuffer("hello world", 11);
    EXPECT_EQ(stream->GetSize(), 11);
    EXPECT_EQ(stream->GetPosition(), 11);

    stream->SetPosition(6);
    char word[5] = {};
    stream->ReadBuffer(word, 5);
    EXPECT_EQ(std::string(word, 5), "world");
    EXPECT_EQ(stream->Seek(-5, TSeekOrigin::soEnd), 6);
    EXPECT_EQ(stream->Seek(2, TSeekOrigin::soCurrent), 8);

    char rest[8] = {};
    EXPECT_EQ(stream->Read(rest, 8), 3);  // a plain read may be short
    EXPECT_EQ(stream->Read(rest, 8), 0);
    stream->SetPosition(9);
    EXPECT_THROW(stream->ReadBuffer(rest, 3), EReadError);  // an exact read that runs out raises
    EXPECT_THROW(stream->Seek(-1, TSeekOrigin::soBeginning), EStreamError);

    stream->SetSize(5);
    EXPECT_EQ(stream->GetSize(), 5);
    EXPECT_LE(stream->GetPosition(), 5);
}

TEST_P(StreamContract, CopyFromCopiesCountOrEverything)
{
    std::unique_ptr<TStream> stream = GetParam().make(folder);
    TMemoryStream source;
    source.WriteBuffer("0123456789", 10);
    source.SetPosition(2);
    EXPECT_EQ(stream->CopyFrom(source, 3), 3);
    EXPECT_EQ(stream->CopyFrom(source, 0), 10);  // 0: the whole source from its start
    stream->SetPosition(0);
    char all[13];
    stream->ReadBuffer(all, 13);
    EXPECT_EQ(std::string(all, 13), "2340123456789");
    source.SetPosition(8);
    EXPECT_THROW(stream->CopyFrom(source, 5), EReadError);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StreamContract,
    ::testing::Values(StreamKind{"Memory", [](const TempFolder&) { return std::make_unique<TMemoryStream>(); }},
                      StreamKind{"File",
                                 [](const TempFolder& f) {
                                     return std::make_unique<TFileStream>(f.File("s.bin"), fmCreate);
                                 }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TMemoryStream, WritingPastTheEndFillsWithZeros)
{
    TMemoryStream stream;
    stream.SetPosition(4);
    stream.WriteBuffer("x", 1);
    ASSERT_EQ(stream.GetSize(), 5);
    const auto bytes = stream.GetBytes();
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), (std::vector<std::uint8_t>{0, 0, 0, 0, 'x'}));
    stream.Clear();
    EXPECT_EQ(stream.GetSize(), 0);
    EXPECT_EQ(stream.GetPosition(), 0);
}

TEST(TMemoryStream, FilesRoundTrip)
{
    TempFolder folder;
    TMemoryStream stream;
    stream.WriteBuffer("abc\0def", 7);
    stream.SaveToFile(folder.File("m.bin"));
    TMemoryStream back;
    back.LoadFromFile(folder.File("m.bin"));
    ASSERT_EQ(back.GetSize(), 7);
    EXPECT_EQ(std::memcmp(back.GetMemory(), "abc\0def", 7), 0);
    EXPECT_THROW(back.LoadFromFile(folder.File("none.bin")), EFOpenError);
}

TEST(TFileStream, PositionsPastFourGigabytes)
{
    TempFolder folder;
    TFileStream stream(folder.File("big.bin"), fmCreate);
    const std::int64_t far = 5'000'000'000LL;  // sparse: no disk space used
    stream.SetPosition(far);
    stream.WriteBuffer("z", 1);
    EXPECT_EQ(stream.GetSize(), far + 1);
    stream.SetPosition(far);
    char c = 0;
    stream.ReadBuffer(&c, 1);
    EXPECT_EQ(c, 'z');
}

TEST(TFileStream, ModesAndFailures)
{
    TempFolder folder;
    const std::string name = folder.Write("f.txt", "content");
    {
        TFileStream read(name, fmOpenRead | fmShareDenyWrite);
        EXPECT_EQ(read.GetSize(), 7);
        EXPECT_EQ(read.Write("x", 1), 0);  // opened for reading only
    }
    {
        TFileStream write(name, fmOpenReadWrite);
        write.WriteBuffer("C", 1);
    }
    EXPECT_EQ(TempFolder::Read(name), "Content");
    {
        TFileStream create(name, fmCreate);  // truncates
    }
    EXPECT_EQ(TempFolder::Read(name), "");

    try {
        TFileStream missing(folder.File("missing.txt"), fmOpenRead);
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + folder.File("missing.txt") + "\". No such file or directory");
    }
    EXPECT_THROW(TFileStream(folder.Path(), fmOpenRead), EFOpenError);  // a folder is no file
    EXPECT_THROW(TFileStream(folder.File("no/such/dir.txt"), fmCreate), EFCreateError);
}

TEST(WriteFileAtomically, ReplacesTheFileAndLeavesNoTemporaryFile)
{
    TempFolder folder;
    const std::string name = folder.Write("config.cfg", "old");
    ::chmod(name.c_str(), 0640);
    WriteFileAtomically(name, Bytes("new content"));
    EXPECT_EQ(TempFolder::Read(name), "new content");
    struct stat info {};
    ::stat(name.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);  // permissions kept

    // Through a link: the target changes, the link stays a link.
    const std::string link = folder.File("link.cfg");
    ASSERT_EQ(::symlink(name.c_str(), link.c_str()), 0);
    WriteFileAtomically(link, Bytes("via link"));
    EXPECT_EQ(TempFolder::Read(name), "via link");
    EXPECT_TRUE(std::filesystem::is_symlink(link));

    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        ++files;
    EXPECT_EQ(files, 2);
}

TEST(WriteFileAtomically, FailureRaisesAndKeepsTheOldFile)
{
    TempFolder folder;
    EXPECT_THROW(WriteFileAtomically(folder.File("no/such/x.cfg"), Bytes("x")), EFCreateError);

    // Renaming a file over a non-empty folder fails after the temporary file was written.
    ::mkdir(folder.File("target").c_str(), 0755);
    folder.Write("target/keep", "k");
    EXPECT_THROW(WriteFileAtomically(folder.File("target"), Bytes("x")), EWriteError);
    EXPECT_EQ(TempFolder::Read(folder.File("target/keep")), "k");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        ++files;
    EXPECT_EQ(files, 1);  // only the folder: no temporary file left
}
