#include "toolkit/SysUtils.h"

#include "toolkit/Base_p.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

namespace ovrel::toolkit {

/// The entries of one search, taken when it starts, so that files added meanwhile do not disturb it.
struct TSearchState {
    std::vector<TSearchRec> Found;
    std::size_t Next = 0;
};

namespace {

inline constexpr int NotFound = ENOENT;
inline constexpr int NoMoreFiles = ENOENT;

std::vector<char32_t> FoldedCodePoints(std::string_view text)
{
    std::vector<char32_t> result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size())
        result.push_back(FoldCase(NextUtf8CodePoint(text, pos)));
    return result;
}

// '*' any run, '?' one character; iterative, backtracking to the last star only, so time stays O(n * m).
bool WildcardMatch(const std::vector<char32_t>& name, const std::vector<char32_t>& mask)
{
    std::size_t n = 0, m = 0;
    std::size_t starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == U'?' || mask[m] == name[n])) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == U'*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == U'*')
        ++m;
    return m == mask.size();
}

// A mask folded once for the names of a whole search.
class TMaskMatcher {
public:
    explicit TMaskMatcher(std::string_view mask)
        : FEmpty(mask.empty()), FAll(mask.find_first_not_of('*') == std::string_view::npos || mask == "*.*"),
          FMask(FoldedCodePoints(mask))
    {
        // A mask ending in ".*" also matches names without an extension: "*.*" matches every name.
        if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*")
            FWithoutExtension = FoldedCodePoints(mask.substr(0, mask.size() - 2));
    }

    [[nodiscard]] bool Matches(std::string_view name) const
    {
        if (FEmpty)
            return false;
        if (FAll)
            return true;
        const std::vector<char32_t> folded = FoldedCodePoints(name);
        return WildcardMatch(folded, FMask) || (FWithoutExtension && WildcardMatch(folded, *FWithoutExtension));
    }

private:
    bool FEmpty;
    bool FAll;  // stars only, or "*.*"
    std::vector<char32_t> FMask;
    std::optional<std::vector<char32_t>> FWithoutExtension;
};

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) { return TMaskMatcher(mask).Matches(name); }

int FindFirst(std::string_view pathAndMask, int attr, TSearchRec& rec)
{
    FindClose(rec);
    const std::size_t slash = pathAndMask.rfind(PathDelim);
    const std::string mask(slash == std::string_view::npos ? pathAndMask : pathAndMask.substr(slash + 1));
    const std::string folder =
        slash == std::string_view::npos ? std::string() : std::string(pathAndMask.substr(0, slash + 1));
    const std::string openName = folder.empty() ? "." : folder;

    auto state = std::make_shared<TSearchState>();
    const TMaskMatcher matcher(mask);
    DIR* dir = ::opendir(openName.c_str());
    if (!dir)
        return NotFound;
    // Entries are measured relative to the open folder: one name to look up instead of the whole path.
    const int folderFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == ".." || !matcher.Matches(name))
            continue;
        struct stat linkInfo {};
        if (::fstatat(folderFd, entry->d_name, &linkInfo, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        struct stat info = linkInfo;
        int found = 0;
        if (S_ISLNK(linkInfo.st_mode)) {
            // A link counts as what it points to; a dangling one is skipped.
            if (::fstatat(folderFd, entry->d_name, &info, 0) != 0)
                continue;
            found |= faSymLink;
        }
        if (S_ISDIR(info.st_mode)) {
            if ((attr & faDirectory) == 0)
                continue;
            found |= faDirectory;
        } else if (!S_ISREG(info.st_mode)) {
            continue;  // devices, FIFOs and sockets are never files to open
        }
        if (name[0] == '.') {
            if ((attr & faHidden) == 0)
                continue;
            found |= faHidden;
        }
        if ((info.st_mode & S_IWUSR) == 0)
            found |= faReadOnly;
        TSearchRec item;
        item.Name = std::string(name);
        item.Attr = found;
        item.Size = S_ISDIR(info.st_mode) ? 0 : static_cast<std::int64_t>(info.st_size);
        item.Time = detail::LocalDateTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
        state->Found.push_back(std::move(item));
    }
    ::closedir(dir);
    if (state->Found.empty())
        return NotFound;
    std::sort(state->Found.begin(), state->Found.end(),
              [](const TSearchRec& a, const TSearchRec& b) { return a.Name < b.Name; });
    rec.FState = std::move(state);
    return FindNext(rec);
}

int FindNext(TSearchRec& rec)
{
    TSearchState* state = rec.FState.get();
    if (!state || state->Next >= state->Found.size())
        return NoMoreFiles;
    const TSearchRec& item = state->Found[state->Next++];
    rec.Name = item.Name;
    rec.Attr = item.Attr;
    rec.Size = item.Size;
    rec.Time = item.Time;
    return 0;
}

void FindClose(TSearchRec& rec) { rec.FState.reset(); }

}  // namespace ovrel::toolkit
