#pragma once
// The readable images of one folder and the progress object that a folder read reports through.

#include "core/ImageInfo.h"
#include "toolkit/System.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace ovrel::core {

class TVekProgress;
using TVekProgressEvent = toolkit::TEvent<TVekProgress*>;

enum class TVekProgressState : std::uint8_t {
    psIdle = 0,
    psStarted = 1,
    psRunning = 2,
    psFinished = 3,
    psCancelled = 4
};

/// Minimum, position and maximum of a running task, which can be cancelled from a change handler.
class TVekProgress : public toolkit::TObject {
public:
    TVekProgress();
    ~TVekProgress() override;

    void Start(std::int32_t min, std::int32_t max);
    /// Ignored once finished or cancelled.
    void SetPosition(std::int32_t value);
    void Finish();
    void Cancel();
    [[nodiscard]] bool IsCancelled() const noexcept { return FState == TVekProgressState::psCancelled; }

    [[nodiscard]] std::uint32_t GetStartTick() const noexcept { return FStartTick; }
    [[nodiscard]] std::int32_t GetMin() const noexcept { return FMin; }
    [[nodiscard]] std::int32_t GetPosition() const noexcept { return FPosition; }
    [[nodiscard]] std::int32_t GetMax() const noexcept { return FMax; }
    [[nodiscard]] TVekProgressState GetState() const noexcept { return FState; }
    /// Called with the progress after every change of state or position.
    void SetOnChange(const TVekProgressEvent& method) { FOnChange = method; }

protected:
    virtual void Changed();

private:
    std::uint32_t FStartTick = 0;
    std::int32_t FMin = 0;
    std::int32_t FPosition = 0;
    std::int32_t FMax = 0;
    TVekProgressEvent FOnChange;
    TVekProgressState FState = TVekProgressState::psIdle;
};

/// The images of one folder in the order they were found; the list owns them.
class TEXIFImageInfoList : public toolkit::TObject {
public:
    TEXIFImageInfoList();
    ~TEXIFImageInfoList() override;

    void Clear() noexcept;
    void Add(std::unique_ptr<TVekImageInfo> info);
    [[nodiscard]] int GetCount() const noexcept { return static_cast<int>(FItems.size()); }
    /// Raises EListError when index is out of range.
    [[nodiscard]] TVekImageInfo* GetItem(int index) const;

    /// Replaces the list by the readable images among the files of folder matching the masks (hidden files
    /// included). With a progress, reports one step per file and stops after a cancel.
    void LoadFolder(const std::string& folder, std::span<const std::string> masks, TVekProgress* progress);

private:
    void AddReadable(const std::string& fileName, std::int64_t fileSize);

    std::vector<std::unique_ptr<TVekImageInfo>> FItems;
};

}  // namespace ovrel::core
