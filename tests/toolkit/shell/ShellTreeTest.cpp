#include "toolkit/Forms.h"
#include "toolkit/ShellCtrls.h"
#include "toolkit/SysUtils.h"

#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTreeView>
#include <QWheelEvent>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace ovrel::toolkit {
namespace {

namespace fs = std::filesystem;

// A small folder tree: a/b, a/c, d (unreadable), a file and a link that points back up.
class ShellTreeTest : public ::testing::Test {
public:
    ShellTreeTest()
    {
        Root = fs::canonical(fs::temp_directory_path()) /
               ("ovrel-shell-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Root);
        fs::create_directories(Root / "a" / "b");
        fs::create_directories(Root / "a" / "c");
        fs::create_directories(Root / "d");
        std::ofstream(Root / "a" / "file.jpg") << "x";
        fs::create_directory_symlink(Root, Root / "a" / "loop");
        fs::permissions(Root / "d", fs::perms::none);

        Form->SetBounds(10, 10, 300, 300);
        Tree->SetParent(Form.get());
        Tree->SetRoot(Root.string());
        Tree->OnChange = TNotifyEvent(this, &ShellTreeTest::Changed);
    }
    ~ShellTreeTest() override
    {
        Form.reset();
        std::error_code error;
        fs::permissions(Root / "d", fs::perms::owner_all, error);
        fs::remove_all(Root, error);
    }
    [[nodiscard]] QTreeView* View() const { return qobject_cast<QTreeView*>(ui::GetWindowWidget(Tree->GetHandle())); }
    void Changed(TObject* sender) { Changes.push_back(static_cast<TShellTreeView*>(sender)->GetPath()); }
    void Editing(TObject*, const std::string& folder, bool& allow)
    {
        Asked.push_back(folder);
        allow = true;  // the tree overrules this
    }
    [[nodiscard]] std::string P(const std::string& relative) const { return (Root / relative).string(); }

    fs::path Root;
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TShellTreeView* Tree = new TShellTreeView(Form.get());
    std::vector<std::string> Changes;
    std::vector<std::string> Asked;
};

TEST_F(ShellTreeTest, PathRoundTripsBeforeAndAfterTheWindowExists)
{
    struct Row {
        const char* name;
        bool shown;
    };
    for (const Row row : {Row{"NoWindow", false}, Row{"Shown", true}}) {
        SCOPED_TRACE(row.name);
        if (row.shown)
            Form->Show();
        Changes.clear();
        Tree->SetPath(P("a/b"));
        EXPECT_EQ(Tree->GetPath(), P("a/b"));
        Tree->SetPath(P("a/./c/"));  // spelled differently, the same folder
        EXPECT_EQ(Tree->GetPath(), P("a/c"));
        Tree->SetPath("");
        EXPECT_EQ(Tree->GetPath(), Root.string());  // the root, never an empty path
        EXPECT_EQ(Changes, (std::vector<std::string>{P("a/b"), P("a/c"), Root.string()}));
    }
    // The selection the view shows follows the path once the window exists.
    Tree->SetPath(P("a/b"));
    auto* model = qobject_cast<QFileSystemModel*>(View()->model());
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->filePath(View()->currentIndex()).toStdString(), P("a/b"));
}

TEST_F(ShellTreeTest, SettingTheSameFolderNotifiesNobody)
{
    Form->Show();
    Tree->SetPath(P("a"));
    Tree->SetPath(P("a"));
    Tree->SetPath(P("a/"));
    Tree->SetPath(Root.string());  // the root is the same as ""
    Tree->SetPath("");
    EXPECT_EQ(Changes, (std::vector<std::string>{P("a"), Root.string()}));
}

TEST_F(ShellTreeTest, BadPathsThrowAndKeepTheSelection)
{
    Tree->SetPath(P("a"));
    Changes.clear();
    for (const std::string& bad : {P("missing"), P("a/file.jpg"), std::string("/")}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(Tree->SetPath(bad), Exception);
        EXPECT_EQ(Tree->GetPath(), P("a"));
    }
    EXPECT_TRUE(Changes.empty());
}

TEST_F(ShellTreeTest, LinksAreResolvedNotWalkedInto)
{
    Form->Show();
    Tree->SetPath(P("a/loop/a/loop/a/b"));
    EXPECT_EQ(Tree->GetPath(), P("a/b"));
    Tree->SetPath(P("a/loop"));
    EXPECT_EQ(Tree->GetPath(), Root.string());
}

TEST_F(ShellTreeTest, UnreadableFolderCanBeChosenWithoutError)
{
    Form->Show();
    EXPECT_NO_THROW(Tree->SetPath(P("d")));
    EXPECT_EQ(Tree->GetPath(), P("d"));
    ui::ProcessQtEvents();
    EXPECT_EQ(Changes, (std::vector<std::string>{P("d")}));
}

TEST_F(ShellTreeTest, UserSelectionNotifiesOnce)
{
    Form->Show();
    Tree->SetPath(P("a/b"));
    Changes.clear();
    auto* model = qobject_cast<QFileSystemModel*>(View()->model());
    View()->setCurrentIndex(model->index(QString::fromStdString(P("a/c"))));
    EXPECT_EQ(Tree->GetPath(), P("a/c"));
    EXPECT_EQ(Changes, (std::vector<std::string>{P("a/c")}));
}

TEST_F(ShellTreeTest, ALinkedFolderIsListedAndChoosingItGivesItsRealFolder)
{
    // A photo folder is often a link to another disk: it must be reachable from the tree.
    Form->Show();
    Tree->SetPath(P("a/b"));
    Changes.clear();
    auto* model = qobject_cast<QFileSystemModel*>(View()->model());
    const QModelIndex link = model->index(QString::fromStdString(P("a/loop")));
    ASSERT_TRUE(link.isValid());
    View()->setCurrentIndex(link);
    EXPECT_EQ(Tree->GetPath(), Root.string());
    EXPECT_EQ(Changes, (std::vector<std::string>{Root.string()}));
}

TEST_F(ShellTreeTest, RenamingIsAlwaysRefused)
{
    Form->Show();
    Tree->OnEditing = TTVEditingEvent(static_cast<ShellTreeTest*>(this), &ShellTreeTest::Editing);
    EXPECT_FALSE(Tree->CanEdit(P("a")));
    EXPECT_EQ(Asked, (std::vector<std::string>{P("a")}));
    EXPECT_EQ(View()->editTriggers(), QAbstractItemView::NoEditTriggers);
    auto* model = qobject_cast<QFileSystemModel*>(View()->model());
    EXPECT_TRUE(model->isReadOnly());
}

TEST_F(ShellTreeTest, DefaultsAndRecreatedWindowKeepThePath)
{
    TShellTreeView plain(nullptr);
    EXPECT_EQ(plain.GetRoot(), "/");
    EXPECT_FALSE(plain.GetAutoRefresh());
    EXPECT_TRUE(plain.GetRightClickSelect());
    EXPECT_FALSE(plain.GetShowRoot());

    Form->Show();
    Tree->SetPath(P("a/c"));
    Changes.clear();
    Tree->RecreateWnd();
    Tree->HandleNeeded();
    auto* model = qobject_cast<QFileSystemModel*>(View()->model());
    EXPECT_EQ(model->filePath(View()->currentIndex()).toStdString(), P("a/c"));
    EXPECT_EQ(Tree->GetPath(), P("a/c"));
    EXPECT_TRUE(Changes.empty());
}

// 150 folders sorted above z/photos. The model lists the chosen folder's own branch at once, adds the rest as the
// listing arrives and sorts only then, which moves the chosen folder far down.
class ShellTreeScrollTest : public ShellTreeTest {
public:
    ShellTreeScrollTest()
    {
        for (int i = 0; i < 150; ++i)
            fs::create_directory(Root / std::to_string(100 + i));
        fs::create_directories(Root / "z" / "photos");
        Place(*Form, *Tree);
    }
    void Place(TForm& form, TShellTreeView& tree) const
    {
        form.SetBounds(10, 10, 320, 440);
        tree.SetParent(&form);
        tree.SetBounds(0, 0, 240, 360);
        tree.SetRoot(Root.string());
    }
    static QTreeView* ViewOf(TShellTreeView& tree)
    {
        return qobject_cast<QTreeView*>(ui::GetWindowWidget(tree.GetHandle()));
    }
    [[nodiscard]] QModelIndex Index(TShellTreeView& tree, const std::string& path) const
    {
        return qobject_cast<QFileSystemModel*>(ViewOf(tree)->model())->index(QString::fromStdString(path));
    }
    // Pumps until the root lists that many folders, then a few passes more for the model's sort.
    void Settle(TShellTreeView& tree, int folders = 150) const
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        const QModelIndex root = Index(tree, Root.string());
        while (ViewOf(tree)->model()->rowCount(root) < folders && std::chrono::steady_clock::now() < deadline) {
            Application()->ProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ASSERT_GE(ViewOf(tree)->model()->rowCount(root), folders);
        for (int pass = 0; pass < 20; ++pass) {
            Application()->ProcessMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    static bool InSight(QTreeView* view, const QModelIndex& index)
    {
        return view->viewport()->rect().intersects(view->visualRect(index));
    }
};

TEST_F(ShellTreeScrollTest, TheChosenFolderEndsInSightWhenTheListingArrivesAroundIt)
{
    struct Row {
        const char* name;
        bool showFirst;
        bool listFirst;
    };
    for (const Row row : {Row{"ChosenBeforeTheFormIsShown", false, false},
                          Row{"ChosenWhileTheListingRuns", true, false}, Row{"ChosenOnceListed", true, true}}) {
        SCOPED_TRACE(row.name);
        TForm form(nullptr);
        auto* tree = new TShellTreeView(&form);
        Place(form, *tree);
        if (row.showFirst)
            form.Show();
        if (row.listFirst)
            Settle(*tree);
        tree->SetPath(P("z/photos"));
        form.Show();
        Settle(*tree);
        QTreeView* view = ViewOf(*tree);
        const QModelIndex chosen = Index(*tree, P("z/photos"));
        EXPECT_EQ(view->currentIndex(), chosen);
        EXPECT_TRUE(view->selectionModel()->isSelected(chosen));
        const QRect rect = view->visualRect(chosen);
        EXPECT_TRUE(InSight(view, chosen)) << "row at y " << rect.y() << ", viewport " << view->viewport()->width()
                                           << "x" << view->viewport()->height();
    }
}

TEST_F(ShellTreeScrollTest, ScrollingAwayIsNotUndoneWhenAFolderAppearsLater)
{
    Tree->SetAutoRefresh(true);
    Tree->SetPath(P("z/photos"));
    Form->Show();
    Settle(*Tree);
    QTreeView* view = ViewOf(*Tree);
    const QModelIndex chosen = Index(*Tree, P("z/photos"));
    ASSERT_TRUE(InSight(view, chosen));

    // The user wheels up to the first folders (a turn scrolls a page at most); a folder made later is listed
    // and sorted in.
    const QPointF local(20, 20);
    for (int turn = 0; turn < 10; ++turn) {
        QWheelEvent wheel(local, view->viewport()->mapToGlobal(local), QPoint(), QPoint(0, 120 * 10), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view->viewport(), &wheel);
        Application()->ProcessMessages();
    }
    ASSERT_EQ(view->verticalScrollBar()->value(), 0);
    const int folders = view->model()->rowCount(Index(*Tree, Root.string()));
    fs::create_directory(Root / "099");
    Settle(*Tree, folders + 1);
    EXPECT_EQ(view->verticalScrollBar()->value(), 0);
    EXPECT_FALSE(InSight(view, chosen));
    EXPECT_EQ(Tree->GetPath(), P("z/photos"));
}

}  // namespace
}  // namespace ovrel::toolkit
