#include "core/ImageInfoList.h"

#include "toolkit/DateUtils.h"
#include "toolkit/SysUtils.h"

#include <algorithm>

namespace ovrel::core {

using namespace ovrel::toolkit;

TVekProgress::TVekProgress() = default;
TVekProgress::~TVekProgress() = default;

void TVekProgress::Start(std::int32_t min, std::int32_t max)
{
    FState = TVekProgressState::psStarted;
    FMin = min;
    FMax = max;
    FPosition = min;
    FStartTick = GetTickCount();
    Changed();
}

void TVekProgress::SetPosition(std::int32_t value)
{
    if (FState == TVekProgressState::psFinished || FState == TVekProgressState::psCancelled)
        return;
    FState = TVekProgressState::psRunning;
    FPosition = value;
    Changed();
}

void TVekProgress::Finish()
{
    FState = TVekProgressState::psFinished;
    Changed();
}

void TVekProgress::Cancel()
{
    FState = TVekProgressState::psCancelled;
    Changed();
}

void TVekProgress::Changed() { FOnChange(this); }

TEXIFImageInfoList::TEXIFImageInfoList() = default;
TEXIFImageInfoList::~TEXIFImageInfoList() = default;

void TEXIFImageInfoList::Clear() noexcept { FItems.clear(); }

void TEXIFImageInfoList::Add(std::unique_ptr<TVekImageInfo> info) { FItems.push_back(std::move(info)); }

TVekImageInfo* TEXIFImageInfoList::GetItem(int index) const
{
    if (index < 0 || index >= GetCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FItems[static_cast<std::size_t>(index)].get();
}

void TEXIFImageInfoList::AddReadable(const std::string& fileName, std::int64_t fileSize)
{
    auto info = std::make_unique<TVekImageInfo>(fileName, fileSize);
    if (info->GetLoadStatus() == imaging::Status::Ok)
        Add(std::move(info));
}

void TEXIFImageInfoList::LoadFolder(const std::string& folder, std::span<const std::string> masks,
                                    TVekProgress* progress)
{
    Clear();
    const std::string path = IncludeTrailingPathDelimiter(folder);
    // The search measured every file already: the images take their sizes from it.
    struct TFound {
        std::string Name;
        std::int64_t Size;
    };
    std::vector<TFound> files;
    for (const std::string& mask : masks) {
        TSearchRec rec;
        if (FindFirst(path + mask, faReadOnly | faHidden | faArchive, rec) == 0) {
            do {
                files.push_back({path + rec.Name, rec.Size});
            } while (FindNext(rec) == 0);
        }
        FindClose(rec);
    }

    if (!progress) {
        for (const TFound& file : files)
            AddReadable(file.Name, file.Size);
        return;
    }
    // A cancel left over from an earlier read does not stop this one.
    if (progress->IsCancelled())
        progress->Finish();
    if (files.empty())
        return;
    const auto count = static_cast<std::int32_t>(std::min<std::size_t>(files.size(), INT32_MAX));
    progress->Start(0, count);
    for (std::int32_t i = 0; i < count; ++i) {
        const TFound& file = files[static_cast<std::size_t>(i)];
        AddReadable(file.Name, file.Size);
        progress->SetPosition(i + 1);
        if (progress->IsCancelled())
            return;
    }
    progress->Finish();
}

}  // namespace ovrel::core
