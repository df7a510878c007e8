#include "app/Config.h"

#include "core/SDFStream.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

using namespace ovrel::app;
using ovrel::core::EXIFProperties;
using ovrel::core::ImageInfoFormat;
using ovrel::core::TVekSDFStream;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t FileNameId = 0xFFFE;
constexpr std::uint32_t ExposureTimeId = 33434;
constexpr std::uint32_t FocalLengthId = 37386;

ovrel::core::TEXIFPropertyInfo& Row(std::uint32_t id)
{
    for (auto& row : EXIFProperties())
        if (row.Id == id)
            return row;
    throw std::logic_error("no such row");
}

std::vector<std::int32_t> Columns()
{
    std::vector<std::int32_t> columns;
    for (const auto& row : EXIFProperties())
        columns.push_back(row.Column);
    return columns;
}

// Bytes in the file format, written element by element as a test needs them.
Bytes Stream(const std::function<void(TVekSDFStream&)>& write)
{
    ovrel::toolkit::TMemoryStream memory;
    {
        TVekSDFStream stream(&memory);
        write(stream);
    }
    const auto bytes = memory.GetBytes();
    return {bytes.begin(), bytes.end()};
}

Bytes ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class Config : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetConfig();
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        FFolder = std::filesystem::temp_directory_path() / ("ovrel-config-" + name);
        std::filesystem::remove_all(FFolder);
        std::filesystem::create_directories(FFolder);
        FFile = (FFolder / "exif-ovrel.cfg").string();
    }
    void TearDown() override
    {
        ResetConfig();
        std::filesystem::remove_all(FFolder);
    }

    // A record with every stored field away from its default.
    static void FillEveryField()
    {
        TEXIFOvrelConfig& config = EXIFOvrelConfig();
        config.LangId = 1031;
        config.LastFolder = "/home/user/Bilder/Urlaub 2004";
        for (std::size_t i = 0; i < WindowPlacementSize; ++i)
            config.MainPlacement[i] = static_cast<std::uint8_t>(i + 1);
        for (std::size_t i = 0; i < PanelPlacementSize; ++i) {
            config.FoldersPanel[i] = static_cast<std::uint8_t>(100 + i);
            config.PreviewPanel[i] = static_cast<std::uint8_t>(150 + i);
            config.PropertiesPanel[i] = static_cast<std::uint8_t>(200 + i);
        }
        config.SortPropertyId = static_cast<std::int32_t>(ExposureTimeId);
        config.SortDescending = 1;
        config.InspectorSplitter = 137;
        for (auto& row : EXIFProperties())
            row.Column = -1;
        Row(FocalLengthId) = {FocalLengthId, Row(FocalLengthId).Group, 0, Row(FocalLengthId).Caption, 0, 80, 1, 0};
        Row(FileNameId).Column = 1;
        Row(FileNameId).Width = 250;
        auto& table = ImageInfoFormat().GetFactorTable();
        table.SetFactor("Canon", "EOS 300D", 1.6f);
        table.SetFactor("Unknown", "Camera", 0.0f);  // met, never given a factor
        table.SetFactor("Nikon", "D70", 1.5f);
    }

    std::filesystem::path FFolder;
    std::string FFile;
};

TEST_F(Config, RoundTripsEveryStoredField)
{
    FillEveryField();
    const TEXIFOvrelConfig saved = EXIFOvrelConfig();
    const std::vector<std::int32_t> columns = Columns();
    SaveConfig(FFile);

    ResetConfig();
    ASSERT_TRUE(LoadConfig(FFile));
    const TEXIFOvrelConfig& loaded = EXIFOvrelConfig();
    EXPECT_EQ(loaded.LangId, saved.LangId);
    EXPECT_EQ(loaded.LastFolder, saved.LastFolder);
    EXPECT_EQ(loaded.MainPlacement, saved.MainPlacement);
    EXPECT_EQ(loaded.FoldersPanel, saved.FoldersPanel);
    EXPECT_EQ(loaded.PreviewPanel, saved.PreviewPanel);
    EXPECT_EQ(loaded.PropertiesPanel, saved.PropertiesPanel);
    EXPECT_EQ(loaded.SortPropertyId, saved.SortPropertyId);
    EXPECT_EQ(loaded.SortDescending, saved.SortDescending);
    EXPECT_EQ(loaded.InspectorSplitter, saved.InspectorSplitter);
    EXPECT_EQ(Columns(), columns);
    EXPECT_EQ(Row(FileNameId).Width, 250);
    EXPECT_EQ(Row(FocalLengthId).Width, 80);

    // The row without a factor is left out; the one after it keeps its place.
    const auto& table = ImageInfoFormat().GetFactorTable();
    ASSERT_EQ(table.GetCount(), 2);
    EXPECT_EQ(table.GetItem(0)->Make, "Canon");
    EXPECT_EQ(table.GetItem(0)->Model, "EOS 300D");
    EXPECT_FLOAT_EQ(table.GetItem(0)->Factor, 1.6f);
    EXPECT_EQ(table.GetItem(1)->Make, "Nikon");
    EXPECT_EQ(table.GetItem(1)->Model, "D70");
    EXPECT_FLOAT_EQ(table.GetItem(1)->Factor, 1.5f);
}

TEST_F(Config, DoesNotStoreTheFieldsNoFileKeeps)
{
    EXIFOvrelConfig().ThumbnailBox = {64, 48};
    EXIFOvrelConfig().ListGridLines = 0;
    EXIFOvrelConfig().InspectorGrid = 0;
    SaveConfig(FFile);
    ResetConfig();
    ASSERT_TRUE(LoadConfig(FFile));
    EXPECT_EQ(EXIFOvrelConfig().ThumbnailBox.Width, 150);
    EXPECT_EQ(EXIFOvrelConfig().ThumbnailBox.Height, 150);
    EXPECT_EQ(EXIFOvrelConfig().ListGridLines, 1);
    EXPECT_EQ(EXIFOvrelConfig().InspectorGrid, 1);
}

TEST_F(Config, StartsWithTheLanguageSortOrderAndFolderInThatOrder)
{
    EXIFOvrelConfig().LangId = 1031;  // 0x0407
    EXIFOvrelConfig().LastFolder = "/p";
    const Bytes bytes = ConfigBytes();
    const Bytes expected = {
        0x55, 11,   6,    2, 0x07, 0x04,  // word 11: language 0x0407
        0x55, 1,    8,    4, 0xFE, 0xFF, 0x00, 0x00,  // long word 1: sort by file name
        0x55, 2,    4,    1, 0x00,  // byte 2: ascending
        0x55, 3,    15,   2, '/',  'p',  // string 3: last folder
        0x90, 4,  // section 4: the columns
        0xA0, 0xFE, 0xFF,  // section of the File Name row
        0x55, 1,    9,    4, 0,    0,    0,    0,  // its column 0
        0x55, 2,    9,    4, 100,  0,    0,    0,  // its width 100
        0x00,  // end of the row
    };
    ASSERT_GE(bytes.size(), expected.size());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(expected.size())), expected);
    EXPECT_EQ(bytes.back(), 0x00);  // the end marker of the top level
}

TEST_F(Config, RenumbersStoredColumnsInTheirOrder)
{
    // Gaps, a repeated number and one far past the list's end, as a damaged file might hold.
    WriteAll(FFile, Stream([](TVekSDFStream& s) {
                 s.BeginSection(4);
                 for (auto [id, column] : {std::pair{FileNameId, 9000}, {ExposureTimeId, 5}, {FocalLengthId, 5}}) {
                     s.BeginSection(id);
                     s.WriteInteger(1, column);
                     s.WriteInteger(2, 70);
                     s.EndSection();
                 }
                 s.EndSection();
                 s.EndSection();
             }));
    ASSERT_TRUE(LoadConfig(FFile));
    EXPECT_EQ(Row(ExposureTimeId).Column, 0);
    EXPECT_EQ(Row(FocalLengthId).Column, 1);
    EXPECT_EQ(Row(FileNameId).Column, 2);
    int shown = 0;
    for (const auto& row : EXIFProperties())
        shown += row.Column >= 0 ? 1 : 0;
    EXPECT_EQ(shown, 3);
}

TEST_F(Config, AFileListingOnlyTheFileNameHidesEveryOtherColumn)
{
    for (auto& row : EXIFProperties())
        row.Column = -1;
    Row(FileNameId).Column = 0;
    SaveConfig(FFile);
    ResetConfig();
    ASSERT_TRUE(LoadConfig(FFile));
    for (const auto& row : EXIFProperties()) {
        SCOPED_TRACE(row.Caption);
        EXPECT_EQ(row.Column, row.Id == FileNameId ? 0 : -1);
    }
}

TEST_F(Config, AShorterSaveOverALongerFileReadsBackExactlyTheNewValues)
{
    FillEveryField();
    EXIFOvrelConfig().LastFolder = std::string(3000, 'x');
    for (int i = 0; i < 50; ++i)
        ImageInfoFormat().GetFactorTable().SetFactor("Make", "Model " + std::to_string(i), 2.0f);
    SaveConfig(FFile);
    const auto longSize = std::filesystem::file_size(FFile);

    ResetConfig();
    EXIFOvrelConfig().LastFolder = "/short";
    SaveConfig(FFile);
    EXPECT_LT(std::filesystem::file_size(FFile), longSize);
    EXPECT_EQ(ReadAll(FFile), ConfigBytes());

    EXIFOvrelConfig().LastFolder = "changed";
    ImageInfoFormat().GetFactorTable().SetFactor("Stray", "Row", 3.0f);
    ASSERT_TRUE(LoadConfig(FFile));
    EXPECT_EQ(EXIFOvrelConfig().LastFolder, "/short");
    EXPECT_EQ(ImageInfoFormat().GetFactorTable().GetCount(), 0);
    EXPECT_EQ(EXIFOvrelConfig().LangId, 0);
}

TEST_F(Config, WithoutAFileStartsWithTheDefaultsAndCreatesTheFileOnSave)
{
    const std::string file = (FFolder / "new" / "folder" / "exif-ovrel.cfg").string();
    EXPECT_FALSE(LoadConfig(file));
    EXPECT_EQ(EXIFOvrelConfig().SortPropertyId, 0xFFFE);
    EXPECT_EQ(EXIFOvrelConfig().InspectorSplitter, 100);
    EXPECT_EQ(Columns(), [] {
        std::vector<std::int32_t> columns;
        for (const auto& row : ovrel::core::DefaultEXIFProperties())
            columns.push_back(row.Column);
        return columns;
    }());
    EXPECT_FALSE(std::filesystem::exists(file));  // reading never creates it

    SaveConfig(file);
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_TRUE(LoadConfig(file));
}

TEST_F(Config, ASaveThatCannotWriteRaisesAndLeavesTheOldFile)
{
    // A regular file where the folder should be: no one, not even root, can create a file inside it.
    const std::filesystem::path notAFolder = FFolder / "plain";
    WriteAll(notAFolder, {1, 2, 3});
    EXPECT_THROW(SaveConfig((notAFolder / "exif-ovrel.cfg").string()), ovrel::toolkit::EStreamError);
    EXPECT_EQ(ReadAll(notAFolder), (Bytes{1, 2, 3}));
    EXPECT_THROW(SaveConfig(std::string()), ovrel::toolkit::EStreamError);

    // A folder in the file's place cannot be replaced; the folder survives untouched.
    std::filesystem::create_directories(FFile);
    EXPECT_THROW(SaveConfig(FFile), ovrel::toolkit::EStreamError);
    EXPECT_TRUE(std::filesystem::is_directory(FFile));
}

struct DamagedConfig {
    const char* name;
    std::function<Bytes(const Bytes& good)> make;
};

class ConfigDamaged : public Config, public ::testing::WithParamInterface<DamagedConfig> {};

TEST_P(ConfigDamaged, LeavesTheSettingsAsTheyWere)
{
    FillEveryField();
    EXIFOvrelConfig().LastFolder = std::string(200, 'f');
    const Bytes good = ConfigBytes();
    ResetConfig();
    WriteAll(FFile, GetParam().make(good));

    EXPECT_FALSE(LoadConfig(FFile));
    EXPECT_EQ(EXIFOvrelConfig().LangId, 0);
    EXPECT_TRUE(EXIFOvrelConfig().LastFolder.empty());
    EXPECT_EQ(Row(FileNameId).Column, 0);
    EXPECT_EQ(ImageInfoFormat().GetFactorTable().GetCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ConfigDamaged,
    ::testing::Values(
        DamagedConfig{"Empty", [](const Bytes&) { return Bytes{}; }},
        // Cut inside the long folder name: its header promises more bytes than there are.
        DamagedConfig{"CutInsideAValue", [](const Bytes& good) { return Bytes(good.begin(), good.begin() + 100); }},
        // Cut after the folder, inside the columns: read in part, it would hide some of them.
        DamagedConfig{"CutInsideTheColumns", [](const Bytes& good) { return Bytes(good.begin(), good.begin() + 240); }},
        DamagedConfig{"Oversized",
                      [](const Bytes& good) {
                          Bytes big = good;
                          big.resize(1024 * 1024, 0);
                          return big;
                      }}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(Config, AFileCutShortAnywhereChangesNothing)
{
    FillEveryField();
    EXIFOvrelConfig().LastFolder = "/photos";
    const Bytes good = ConfigBytes();
    ResetConfig();
    const Bytes defaults = ConfigBytes();
    for (std::size_t length = 1; length < good.size(); ++length) {
        SCOPED_TRACE(length);
        EXPECT_THROW(ReadConfigBytes(std::span(good.data(), length)), ovrel::toolkit::EReadError);
        ASSERT_EQ(ConfigBytes(), defaults);
    }
    ReadConfigBytes(good);  // and whole, it is read
    EXPECT_EQ(ConfigBytes(), good);
}

TEST_F(Config, AColumnListThatShowsNoColumnKeepsTheColumns)
{
    struct Row {
        const char* Name;
        std::function<void(TVekSDFStream&)> Rows;  // the content of section 4
    };
    const Row rows[] = {
        {"Empty", [](TVekSDFStream&) {}},
        {"OnlyUnknownIds",
         [](TVekSDFStream& s) {
             for (std::uint32_t id : {1u, 2u, 0x1234u}) {
                 s.BeginSection(id);
                 s.WriteInteger(1, 0);
                 s.EndSection();
             }
         }},
        {"KnownButHidden",
         [](TVekSDFStream& s) {
             s.BeginSection(FileNameId);
             s.WriteInteger(1, -1);
             s.EndSection();
         }},
    };
    const std::vector<std::int32_t> defaults = Columns();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        ResetConfig();
        ReadConfigBytes(Stream([&](TVekSDFStream& s) {
            s.WriteString(3, "/kept");
            s.BeginSection(4);
            row.Rows(s);
            s.EndSection();
            s.EndSection();
        }));
        EXPECT_EQ(EXIFOvrelConfig().LastFolder, "/kept");
        EXPECT_EQ(Columns(), defaults);
    }
}

// Counts the bytes the reader takes from the content.
class TCountingStream : public ovrel::toolkit::TMemoryStream {
public:
    explicit TCountingStream(const Bytes& bytes)
    {
        WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
        SetPosition(0);
    }
    std::int32_t Read(void* buffer, std::int32_t count) override
    {
        const std::int32_t read = TMemoryStream::Read(buffer, count);
        FRead += static_cast<std::size_t>(std::max(read, 0));
        return read;
    }
    [[nodiscard]] std::size_t BytesRead() const { return FRead; }

private:
    std::size_t FRead = 0;
};

// Empty sections of ids no catalogue row has, as many as fit into a file the reader still takes.
void WriteUnknownSections(TVekSDFStream& s, int count)
{
    std::uint32_t id = 1100;  // past the factor rows' numbers
    for (int i = 0; i < count; ++id) {
        if (ovrel::core::FindEXIFProperty(id))
            continue;
        s.BeginSection(id);
        s.EndSection();
        ++i;
    }
}

TEST_F(Config, ReadsEachLevelOnceHoweverManyElementsComeBeforeTheRows)
{
    struct Case {
        const char* Name;
        std::function<void(TVekSDFStream&)> Write;
    };
    const Case cases[] = {
        {"UnknownSectionsBeforeTheFactorRows",
         [](TVekSDFStream& s) {
             s.BeginSection(9);
             WriteUnknownSections(s, 50'000);
             for (std::uint32_t n = 1; n <= 1024; ++n) {
                 s.BeginSection(n);
                 s.WriteString(1, "Make");
                 s.WriteString(2, std::to_string(n));
                 s.WriteSingle(3, 1.5f);
                 s.EndSection();
             }
             s.EndSection();
         }},
        {"UnknownSectionsBeforeTheColumns",
         [](TVekSDFStream& s) {
             s.BeginSection(4);
             WriteUnknownSections(s, 50'000);
             s.BeginSection(FocalLengthId);
             s.WriteInteger(1, 0);
             s.EndSection();
             s.BeginSection(FileNameId);
             s.WriteInteger(1, 1);
             s.EndSection();
             s.EndSection();
             s.BeginSection(9);
             s.BeginSection(1);
             s.WriteSingle(3, 1.5f);
             s.EndSection();
             s.EndSection();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ResetConfig();
        const Bytes bytes = Stream([&](TVekSDFStream& s) {
            c.Write(s);
            s.EndSection();
        });
        ASSERT_LT(bytes.size(), 256u * 1024) << "a file the program reads";
        TCountingStream content(bytes);
        ReadConfig(content);
        EXPECT_LT(content.BytesRead(), 8 * bytes.size()) << "elements are searched from their level's start";
        EXPECT_GE(ImageInfoFormat().GetFactorTable().GetCount(), 1);
        EXPECT_FLOAT_EQ(ImageInfoFormat().GetFactorTable().GetItem(0)->Factor, 1.5f);
    }
    EXPECT_EQ(Row(FocalLengthId).Column, 0);
    EXPECT_EQ(Row(FileNameId).Column, 1);
}

TEST_F(Config, IgnoresPlacementBlocksOfAnotherSizeAndValuesOfAnotherType)
{
    WriteAll(FFile, Stream([](TVekSDFStream& s) {
                 s.WriteInteger(11, 1031);  // a language id of the wrong type
                 const std::array<std::uint8_t, 40> shortBlock{9};
                 s.WriteBlob(5, shortBlock.data(), shortBlock.size());
                 const std::array<std::uint8_t, 47> panel{7};
                 s.WriteBlob(6, panel.data(), panel.size());
                 s.WriteInteger(10, 222);
                 s.EndSection();
             }));
    ASSERT_TRUE(LoadConfig(FFile));
    EXPECT_EQ(EXIFOvrelConfig().LangId, 0);
    EXPECT_EQ(EXIFOvrelConfig().MainPlacement, (std::array<std::uint8_t, WindowPlacementSize>{}));
    EXPECT_EQ(EXIFOvrelConfig().FoldersPanel[0], 7);
    EXPECT_EQ(EXIFOvrelConfig().InspectorSplitter, 222);
    EXPECT_EQ(Row(FileNameId).Column, 0);  // no section 4: the columns keep their defaults
}

TEST_F(Config, ASecondLoadReplacesTheFactorTableInsteadOfDoublingIt)
{
    FillEveryField();
    SaveConfig(FFile);
    ASSERT_TRUE(LoadConfig(FFile));
    ASSERT_TRUE(LoadConfig(FFile));
    EXPECT_EQ(ImageInfoFormat().GetFactorTable().GetCount(), 2);
}

}  // namespace
