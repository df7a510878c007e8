#pragma once
// A folder tree over the file system: directories only, the home folder opened, renaming refused.

#include "toolkit/StdCtrls.h"

#include <memory>
#include <string>

class QFileSystemModel;
class QObject;
class QTreeView;

namespace ovrel::toolkit {

/// Sender, the folder about to be renamed, AllowEdit (forced false after the handler).
using TTVEditingEvent = TEvent<TObject*, const std::string&, bool&>;

class TShellTreeView : public TNativeControl {
public:
    explicit TShellTreeView(TComponent* owner);
    ~TShellTreeView() override;

    /// The selected folder as an absolute path; the root folder when nothing below it is selected.
    [[nodiscard]] std::string GetPath() const;
    /// Selects a folder; "" selects the root. Throws Exception for a path that is no folder under the root.
    void SetPath(const std::string& path);

    /// The folder the tree starts at ("/" by default).
    [[nodiscard]] const std::string& GetRoot() const { return FRoot; }
    void SetRoot(const std::string& root);

    [[nodiscard]] bool GetAutoRefresh() const { return FAutoRefresh; }
    void SetAutoRefresh(bool value);
    [[nodiscard]] bool GetRightClickSelect() const { return FRightClickSelect; }
    void SetRightClickSelect(bool value) { FRightClickSelect = value; }
    [[nodiscard]] bool GetShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool value);

    /// Asks OnEditing whether folder may be renamed; the answer is always no.
    bool CanEdit(const std::string& folder);

    TNotifyEvent OnChange;
    TTVEditingEvent OnEditing;

protected:
    QWidget* CreateWidget() override;
    void InitWidget(QWidget* widget) override;
    void DestroyWindowHandle() override;
    void WMRButtonDown(TMessage& message) override;
    virtual void Change();

private:
    [[nodiscard]] QTreeView* View() const;
    void ApplyToView();
    void SelectInView();
    void QueueKeepInSight();
    void KeepInSight();
    void ViewCurrentChanged(const std::string& folder);

    std::string FRoot = "/";
    std::string FPath;  // canonical; empty = the root
    bool FAutoRefresh = false;
    bool FRightClickSelect = true;
    bool FShowRoot = false;
    bool FSelecting = false;  // the tree itself is moving the view: nothing the user did
    // The folder set by SetPath is scrolled back into sight as the listing around it arrives and sorts, until
    // the user scrolls, expands, collapses or chooses.
    bool FKeepInSight = false;
    bool FKeepQueued = false;
    QFileSystemModel* FModel = nullptr;  // owned by the view's widget
    // The receiver of the view's signals and of queued calls: they end with the window or with the control,
    // whichever goes first (a widget handed an event is deleted later than its window).
    std::unique_ptr<QObject> FReceiver;
};

}  // namespace ovrel::toolkit
