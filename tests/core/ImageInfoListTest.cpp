#include "core/ImageInfoList.h"

#include "CoreTestSupport.h"
#include "imaging/Builders.h"
#include "imaging/PixelBuilders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace ovrel::core {
namespace {

using test::Bytes;
namespace fx = imaging::fixtures;
namespace px = imaging::pixelfixtures;

using State = TVekProgressState;

struct TStep {
    State Kind;
    std::int32_t Position;
    friend bool operator==(const TStep&, const TStep&) = default;
};

std::ostream& operator<<(std::ostream& out, const TStep& step)
{
    return out << '(' << static_cast<int>(step.Kind) << ' ' << step.Position << ')';
}

// Records every change of a progress; optionally cancels when a position is reached.
class TProgressRecorder {
public:
    void Changed(TVekProgress* progress)
    {
        Steps.push_back({progress->GetState(), progress->GetPosition()});
        Max = progress->GetMax();
        if (progress->GetState() == State::psRunning && progress->GetPosition() == CancelAt)
            progress->Cancel();
    }
    std::vector<TStep> Steps;
    std::int32_t Max = -1;
    std::int32_t CancelAt = -1;
};

std::vector<std::string> NamesOf(const TEXIFImageInfoList& list)
{
    std::vector<std::string> names;
    for (int i = 0; i < list.GetCount(); ++i)
        names.push_back(toolkit::ExtractFileName(list.GetItem(i)->GetFileName()));
    return names;
}

// A folder of images among things that are not: a text file, a damaged image, a folder named like an
// image (holding one), and a FIFO, which must never be opened (that would block).
class LoadFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Written out of name order, so that the order of the list is the search's, not the disk's.
        FFolder.Write("c.jpg", fx::JpegBytes().Frame(8, 8).Build());
        FFolder.Write("a.jpg", px::EncodeJpeg(4, 4, [](std::uint32_t, std::uint32_t) { return 0x336699u; }));
        FFolder.Write("b.png", px::SmallRgbPng().Pixels(px::SmallRgbPixels(), 6).End().Build());
        FFolder.Write(".hidden.jpg", fx::JpegBytes().Frame(8, 8).Build());
        FFolder.WriteText("notes.txt", "not an image");
        FFolder.WriteText("broken.jpg", "\xFF\xD8 damaged");
        std::filesystem::create_directory(FFolder.File("sub.jpg"));
        FFolder.Write("sub.jpg/inner.jpg", fx::JpegBytes().Frame(8, 8).Build());
        ASSERT_EQ(::mkfifo(FFolder.File("pipe.jpg").c_str(), 0600), 0);
    }

    std::vector<std::string> AllMask{"*.*"};
    test::TTempFolder FFolder;
    const std::vector<std::string> FReadable{".hidden.jpg", "a.jpg", "b.png", "c.jpg"};
    static constexpr std::int32_t MatchCount = 6;  // every regular file, the text and the damaged one included
};

TEST_F(LoadFolder, KeepsTheReadableImagesInNameOrderWithOrWithoutTrailingSlash)
{
    TEXIFImageInfoList list;
    for (const std::string& folder : {FFolder.Path(), FFolder.Path() + "/"}) {
        SCOPED_TRACE(folder);
        list.LoadFolder(folder, AllMask, nullptr);
        EXPECT_EQ(NamesOf(list), FReadable);
        for (int i = 0; i < list.GetCount(); ++i) {
            const TVekImageInfo& info = *list.GetItem(i);
            EXPECT_EQ(info.GetLoadStatus(), imaging::Status::Ok);
            // Each image has its own file's size, as the search measured it.
            EXPECT_EQ(info.GetFileSize(), static_cast<std::int64_t>(std::filesystem::file_size(info.GetFileName())));
        }
        EXPECT_EQ(list.GetItem(0)->GetFileName(), FFolder.File(".hidden.jpg"));
    }
}

TEST_F(LoadFolder, MasksAreSearchedInArrayOrderAndStarDotStarMatchesNamesWithoutADot)
{
    FFolder.Write("noextension", fx::JpegBytes().Frame(8, 8).Build());
    TEXIFImageInfoList list;
    const std::vector<std::string> masks{"*.png", "*.jpg"};
    list.LoadFolder(FFolder.Path(), masks, nullptr);
    EXPECT_EQ(NamesOf(list), (std::vector<std::string>{"b.png", ".hidden.jpg", "a.jpg", "c.jpg"}));

    list.LoadFolder(FFolder.Path(), AllMask, nullptr);
    EXPECT_EQ(NamesOf(list), (std::vector<std::string>{".hidden.jpg", "a.jpg", "b.png", "c.jpg", "noextension"}));
}

TEST_F(LoadFolder, ReplacesTheListAndAMissingFolderEmptiesIt)
{
    TEXIFImageInfoList list;
    list.LoadFolder(FFolder.Path(), AllMask, nullptr);
    ASSERT_EQ(list.GetCount(), 4);
    list.LoadFolder(FFolder.File("sub.jpg"), AllMask, nullptr);
    EXPECT_EQ(NamesOf(list), std::vector<std::string>{"inner.jpg"});
    list.LoadFolder(FFolder.File("absent"), AllMask, nullptr);
    EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(LoadFolder, ReportsOneStepPerFileThenFinishes)
{
    TProgressRecorder recorder;
    TVekProgress progress;
    progress.SetOnChange(TVekProgressEvent(&recorder, &TProgressRecorder::Changed));
    TEXIFImageInfoList list;
    list.LoadFolder(FFolder.Path(), AllMask, &progress);

    std::vector<TStep> expected{{State::psStarted, 0}};
    for (std::int32_t i = 1; i <= MatchCount; ++i)
        expected.push_back({State::psRunning, i});
    expected.push_back({State::psFinished, MatchCount});
    EXPECT_EQ(recorder.Steps, expected);
    EXPECT_EQ(recorder.Max, MatchCount);
    EXPECT_EQ(progress.GetMin(), 0);
    EXPECT_EQ(NamesOf(list), FReadable);
}

TEST_F(LoadFolder, CancelFromTheProgressHandlerStopsAfterThatImage)
{
    TProgressRecorder recorder;
    recorder.CancelAt = 3;
    TVekProgress progress;
    progress.SetOnChange(TVekProgressEvent(&recorder, &TProgressRecorder::Changed));
    TEXIFImageInfoList list;
    list.LoadFolder(FFolder.Path(), AllMask, &progress);

    const std::vector<TStep> expected{{State::psStarted, 0},
                                      {State::psRunning, 1},
                                      {State::psRunning, 2},
                                      {State::psRunning, 3},
                                      {State::psCancelled, 3}};
    EXPECT_EQ(recorder.Steps, expected);
    EXPECT_TRUE(progress.IsCancelled());
    EXPECT_EQ(NamesOf(list), (std::vector<std::string>{".hidden.jpg", "a.jpg", "b.png"}));

    // The cancel left behind does not stop the next read: it is finished first.
    recorder.Steps.clear();
    recorder.CancelAt = -1;
    list.LoadFolder(FFolder.Path(), AllMask, &progress);
    ASSERT_GE(recorder.Steps.size(), 3u);
    EXPECT_EQ(recorder.Steps[0], (TStep{State::psFinished, 3}));
    EXPECT_EQ(recorder.Steps[1], (TStep{State::psStarted, 0}));
    EXPECT_EQ(recorder.Steps.back(), (TStep{State::psFinished, MatchCount}));
    EXPECT_EQ(NamesOf(list), FReadable);
}

TEST(LoadFolderEmpty, NeitherStartsNorFinishesTheProgress)
{
    test::TTempFolder folder;
    TProgressRecorder recorder;
    TVekProgress progress;
    progress.SetOnChange(TVekProgressEvent(&recorder, &TProgressRecorder::Changed));
    TEXIFImageInfoList list;
    const std::vector<std::string> masks{"*.*"};
    list.LoadFolder(folder.Path(), masks, &progress);
    EXPECT_TRUE(recorder.Steps.empty());
    EXPECT_EQ(progress.GetState(), State::psIdle);

    progress.Cancel();
    recorder.Steps.clear();
    list.LoadFolder(folder.Path(), masks, &progress);
    EXPECT_EQ(recorder.Steps, (std::vector<TStep>{{State::psFinished, 0}}));
}

TEST(ImageInfoList, OwnsItsItemsAndChecksIndices)
{
    TEXIFImageInfoList list;
    list.Add(test::MakeInfo({}, "/x/one.jpg"));
    list.Add(test::MakeInfo({}, "/x/two.jpg"));
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetItem(1)->GetFileName(), "/x/two.jpg");
    EXPECT_THROW((void)list.GetItem(2), toolkit::EListError);
    EXPECT_THROW((void)list.GetItem(-1), toolkit::EListError);
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);
}

TEST(Progress, FollowsItsStates)
{
    TProgressRecorder recorder;
    TVekProgress progress;
    EXPECT_EQ(progress.GetState(), State::psIdle);
    progress.SetPosition(5);  // no handler yet: nothing to call, the state still changes
    EXPECT_EQ(progress.GetState(), State::psRunning);
    progress.SetOnChange(TVekProgressEvent(&recorder, &TProgressRecorder::Changed));

    progress.Start(10, 20);
    EXPECT_EQ(progress.GetMin(), 10);
    EXPECT_EQ(progress.GetMax(), 20);
    progress.SetPosition(12);
    progress.Finish();
    progress.SetPosition(15);  // ignored once finished
    progress.Cancel();
    progress.SetPosition(16);  // ignored once cancelled
    progress.Start(0, 1);
    const std::vector<TStep> expected{{State::psStarted, 10},
                                      {State::psRunning, 12},
                                      {State::psFinished, 12},
                                      {State::psCancelled, 12},
                                      {State::psStarted, 0}};
    EXPECT_EQ(recorder.Steps, expected);
    EXPECT_FALSE(progress.IsCancelled());
}

}  // namespace
}  // namespace ovrel::core
