#include "toolkit/SysUtils.h"

#include "toolkit/Base_p.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
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

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask)
{
    if (mask.empty())
        return false;
    const std::vector<char32_t> folded = FoldedCodePoints(name);
    if (WildcardMatch(folded, FoldedCodePoints(mask)))
        return true;
    // A mask ending in ".*" also matches names without an extension: "*.*" matches every name.
    if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*")
        return WildcardMatch(folded, FoldedCodePoints(mask.substr(0, mask.size() - 2)));
    return false;
}

int FindFirst(std::string_view pathAndMask, int attr, TSearchRec& rec)
{
    FindClose(rec);
    const std::size_t slash = pathAndMask.rfind(PathDelim);
    const std::string mask(slash == std::string_view::npos ? pathAndMask : pathAndMask.substr(slash + 1));
    std::string folder =
        slash == std::string_view::npos ? std::string() : std::string(pathAndMask.substr(0, slash + 1));
    const std::string openName = folder.empty() ? "." : folder;

    auto state = std::make_shared<TSearchState>();
    DIR* dir = ::opendir(openName.c_str());
    if (!dir)
        return NotFound;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !MatchesMask(name, mask))
            continue;
        const std::string full = folder + name;
        struct stat linkInfo {};
        if (::lstat(full.c_str(), &linkInfo) != 0)
            continue;
        struct stat info = linkInfo;
        int found = 0;
        if (S_ISLNK(linkInfo.st_mode)) {
            // A link counts as what it points to; a dangling one is skipped.
            if (::stat(full.c_str(), &info) != 0)
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
        item.Name = name;
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
