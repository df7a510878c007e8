#include "app/Paths.h"

#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using ovrel::app::ChooseConfigFolder;

class ConfigFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        FRoot = std::filesystem::temp_directory_path() /
                ("ovrel-paths-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(FRoot / "bin");
    }
    void TearDown() override
    {
        std::filesystem::permissions(FRoot / "bin", std::filesystem::perms::owner_all);
        std::filesystem::remove_all(FRoot);
    }
    std::string Bin() const { return (FRoot / "bin").string() + "/"; }

    std::filesystem::path FRoot;
};

TEST_F(ConfigFolder, IsTheExecutablesFolderWhenItIsWritable)
{
    EXPECT_EQ(ChooseConfigFolder(Bin(), "/xdg", "/home/u"), Bin());
}

TEST_F(ConfigFolder, FallsBackToTheUsersConfigFolderWhenTheExecutablesFolderIsUnusable)
{
    struct Row {
        const char* name;
        const char* xdg;
        const char* home;
        const char* expected;
    };
    const Row rows[] = {
        {"XdgSet", "/xdg", "/home/u", "/xdg/exif-ovrel/"},
        {"XdgWithSlash", "/xdg/", "/home/u", "/xdg/exif-ovrel/"},
        {"XdgEmpty", "", "/home/u", "/home/u/.config/exif-ovrel/"},
        {"XdgRelativeIsIgnored", "rel/xdg", "/home/u", "/home/u/.config/exif-ovrel/"},
        {"NothingUsable", "", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ChooseConfigFolder(Bin() + "missing/", row.xdg, row.home), row.expected);
        EXPECT_EQ(ChooseConfigFolder("", row.xdg, row.home), row.expected);
    }
}

TEST_F(ConfigFolder, FallsBackWhenTheExecutablesFolderIsReadOnly)
{
    std::filesystem::permissions(FRoot / "bin",
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_EQ(ovrel::testsupport::AsUnprivilegedUser({FRoot, FRoot / "bin"},
                                                     [&] { return ChooseConfigFolder(Bin(), "/xdg", "/home/u"); }),
              "/xdg/exif-ovrel/");
}

TEST(ExecutableFileName, IsTheAbsolutePathOfThisTestProgram)
{
    const std::string name = ovrel::app::ExecutableFileName();
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(name.front(), '/');
    EXPECT_TRUE(std::filesystem::exists(name));
}

}  // namespace
