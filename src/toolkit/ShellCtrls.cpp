#include "toolkit/ShellCtrls.h"

#include "platform/ui/Messages.h"
#include "platform/ui/QtText.h"
#include "platform/ui/Window.h"
#include "toolkit/SysUtils.h"

#include <QDir>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTreeView>

#include <filesystem>
#include <system_error>

namespace ovrel::toolkit {

using namespace ovrel::ui;

namespace {

// The canonical form of a folder, or "" when it is no folder.
std::string CanonicalFolder(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(path, error);
    if (error || !std::filesystem::is_directory(real, error) || error)
        return {};
    return real.string();
}

bool IsUnder(const std::string& path, const std::string& root)
{
    if (root == "/")
        return !path.empty() && path.front() == '/';
    return path == root ||
           (path.size() > root.size() && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/');
}

}  // namespace

TShellTreeView::TShellTreeView(TComponent* owner) : TNativeControl(owner)
{
    SetBounds(GetLeft(), GetTop(), 200, 300);
    SetTabStop(true);
}

TShellTreeView::~TShellTreeView() = default;

std::string TShellTreeView::GetPath() const { return FPath.empty() ? FRoot : FPath; }

void TShellTreeView::SetPath(const std::string& path)
{
    std::string folder;
    if (!path.empty()) {
        folder = CanonicalFolder(path);
        if (folder.empty() || !IsUnder(folder, FRoot))
            throw Exception("\"" + path + "\" is not a folder");
        if (folder == FRoot)
            folder.clear();
    }
    if (folder == FPath)
        return;
    FPath = folder;
    FKeepInSight = !FPath.empty();
    SelectInView();
    Change();
}

void TShellTreeView::SetRoot(const std::string& root)
{
    const std::string folder = CanonicalFolder(root.empty() ? "/" : root);
    if (folder.empty())
        throw Exception("\"" + root + "\" is not a folder");
    if (folder == FRoot)
        return;
    FRoot = folder;
    const bool changed = !FPath.empty() && !IsUnder(FPath, FRoot);
    if (changed || FPath == FRoot)
        FPath.clear();
    FKeepInSight = FKeepInSight && !FPath.empty();
    ApplyToView();
    if (changed)
        Change();
}

void TShellTreeView::SetAutoRefresh(bool value)
{
    FAutoRefresh = value;
    if (FModel != nullptr)
        FModel->setOption(QFileSystemModel::DontWatchForChanges, !value);
}

void TShellTreeView::SetShowRoot(bool value)
{
    FShowRoot = value;
    if (QTreeView* view = View())
        view->setRootIsDecorated(value);
}

bool TShellTreeView::CanEdit(const std::string& folder)
{
    bool allow = false;
    if (OnEditing)
        CallOut([&] { OnEditing(this, folder, allow); });
    // Renaming folders from the tree is never allowed, whatever the handler says.
    return false;
}

void TShellTreeView::Change()
{
    if (OnChange)
        CallOut([this] { OnChange(this); });
}

QWidget* TShellTreeView::CreateWidget() { return new QTreeView; }

void TShellTreeView::InitWidget(QWidget* widget)
{
    TNativeControl::InitWidget(widget);
    auto* view = static_cast<QTreeView*>(widget);
    FModel = new QFileSystemModel(view);
    // Linked folders are listed (photo folders often live on another disk) and resolved when chosen; the model
    // reads a folder only when it is opened, so a link loop is never walked on its own. Hidden folders stay
    // hidden as in the desktop's own file manager.
    FModel->setFilter(QDir::AllDirs | QDir::Dirs | QDir::NoDotAndDotDot);
    FModel->setReadOnly(true);
    FModel->setOption(QFileSystemModel::DontWatchForChanges, !FAutoRefresh);
    view->setModel(FModel);
    for (int column = 1; column < FModel->columnCount(); ++column)
        view->hideColumn(column);
    view->setHeaderHidden(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setRootIsDecorated(FShowRoot);
    ApplyToView();

    FReceiver = std::make_unique<QObject>();
    QObject* receiver = FReceiver.get();
    // A folder is chosen when it is selected: the view also moves its current item without selecting it (on
    // taking the focus, to the first folder), which chooses nothing.
    QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, receiver,
                     [this, view](const QItemSelection&, const QItemSelection&) {
                         if (FSelecting || FModel == nullptr)
                             return;
                         const QModelIndexList selected = view->selectionModel()->selectedIndexes();
                         if (selected.isEmpty())
                             return;
                         ViewCurrentChanged(FromQString(FModel->filePath(selected.first())));
                     });

    // The model adds a listing's folders after the branch already known and sorts them later: each step can
    // move the chosen folder out of sight, so it is brought back after each until the user takes over.
    const auto queue = [this] { QueueKeepInSight(); };
    QObject::connect(FModel, &QAbstractItemModel::rowsInserted, receiver, queue);
    QObject::connect(FModel, &QAbstractItemModel::rowsRemoved, receiver, queue);
    QObject::connect(FModel, &QAbstractItemModel::layoutChanged, receiver, queue);
    QObject::connect(view->verticalScrollBar(), &QScrollBar::rangeChanged, receiver, queue);  // resized
    const auto userTookOver = [this] {
        if (!FSelecting)
            FKeepInSight = false;
    };
    // Programmatic scrolling triggers no action: these are the user's scroll bar presses, drags and wheel turns.
    QObject::connect(view->verticalScrollBar(), &QScrollBar::actionTriggered, receiver, userTookOver);
    QObject::connect(view->horizontalScrollBar(), &QScrollBar::actionTriggered, receiver, userTookOver);
    QObject::connect(view, &QTreeView::expanded, receiver, userTookOver);
    QObject::connect(view, &QTreeView::collapsed, receiver, userTookOver);
}

void TShellTreeView::DestroyWindowHandle()
{
    FModel = nullptr;
    FReceiver.reset();
    FKeepQueued = false;  // a queued call dies with the receiver
    TNativeControl::DestroyWindowHandle();
}

void TShellTreeView::WMRButtonDown(TMessage& message)
{
    // Without right-click selection the view never sees the press that would move its current folder.
    if (!FRightClickSelect && HandleAllocated())
        return;
    TNativeControl::WMRButtonDown(message);
}

QTreeView* TShellTreeView::View() const { return qobject_cast<QTreeView*>(GetWidget()); }

void TShellTreeView::ApplyToView()
{
    QTreeView* view = View();
    if (view == nullptr || FModel == nullptr)
        return;
    const QString root = ToQString(FRoot);
    FModel->setRootPath(root);
    view->setRootIndex(FModel->index(root));
    const std::string home = CanonicalFolder(FromQString(QDir::homePath()));
    if (!home.empty() && IsUnder(home, FRoot) && home != FRoot) {
        const TRestore byTheTree(FSelecting, true);
        const QModelIndex index = FModel->index(ToQString(home));
        for (QModelIndex at = index; at.isValid() && at != view->rootIndex(); at = at.parent())
            view->expand(at);
    }
    SelectInView();
}

void TShellTreeView::SelectInView()
{
    QTreeView* view = View();
    if (view == nullptr || FModel == nullptr)
        return;
    const TRestore byTheTree(FSelecting, true);
    if (FPath.empty()) {
        view->selectionModel()->clearSelection();
        view->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        const QModelIndex index = FModel->index(ToQString(FPath));
        for (QModelIndex at = index.parent(); at.isValid() && at != view->rootIndex(); at = at.parent())
            view->expand(at);
        view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        view->scrollTo(index);
    }
}

void TShellTreeView::QueueKeepInSight()
{
    QTreeView* view = View();
    if (!FKeepInSight || FKeepQueued || view == nullptr)
        return;
    // Once the signal's burst is over, when the view lays out its rows anew.
    FKeepQueued = true;
    QMetaObject::invokeMethod(
        FReceiver.get(), [this] { KeepInSight(); }, Qt::QueuedConnection);
}

void TShellTreeView::KeepInSight()
{
    FKeepQueued = false;
    QTreeView* view = View();
    if (!FKeepInSight || FPath.empty() || view == nullptr || FModel == nullptr)
        return;
    const TRestore byTheTree(FSelecting, true);
    view->scrollTo(FModel->index(ToQString(FPath)));
}

void TShellTreeView::ViewCurrentChanged(const std::string& folder)
{
    FKeepInSight = false;  // the user chose: where the view stands is theirs now
    std::string chosen;
    if (!folder.empty()) {
        chosen = CanonicalFolder(folder);
        if (chosen.empty())
            return;  // no folder (any more)
        if (chosen == FRoot)
            chosen.clear();  // a link back to the root chooses the root
    }
    if (chosen == FPath)
        return;
    FPath = chosen;
    Change();
}

}  // namespace ovrel::toolkit
