#include "themes/PanelArrangement.h"

#include "toolkit/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace ovrel::themes {

namespace {

// Clamps into [low, high], low winning when the limits cross.
int Limit(long long value, int low, int high)
{
    return static_cast<int>(std::max<long long>(low, std::min<long long>(high, value)));
}

long long SumOfSizes(std::span<const TStackingRecord> records)
{
    long long sum = 0;
    for (const TStackingRecord& r : records)
        sum += r.Size;
    return sum;
}

}  // namespace

void StackPanels(std::span<TStackingRecord> records, int length)
{
    long long minima = 0;
    long long maxima = 0;
    for (TStackingRecord& r : records) {
        if (r.MaxSize < r.MinSize)
            r.MaxSize = length;  // no limit
        r.MaxSize = std::max(r.MaxSize, r.MinSize);
        r.Size = Limit(r.Size, r.MinSize, r.MaxSize);
        minima += r.MinSize;
        maxima += r.MaxSize;
    }
    const long long total = SumOfSizes(records);
    if (total != length && !records.empty()) {
        if (length <= minima) {
            for (TStackingRecord& r : records)
                r.Size = r.MinSize;
        } else if (length >= maxima) {
            for (TStackingRecord& r : records)
                r.Size = r.MaxSize;
        } else {
            long long difference = length - total;
            const bool growing = difference > 0;
            std::vector<bool> adjustable(records.size());
            std::size_t count = 0;
            for (std::size_t i = 0; i < records.size(); ++i) {
                const TStackingRecord& r = records[i];
                adjustable[i] = growing ? r.Size < r.MaxSize : r.Size > r.MinSize;
                count += adjustable[i] ? 1 : 0;
            }
            toolkit::Assert(count > 0, "StackPanels: no panel can take up the difference");
            while (difference != 0) {
                toolkit::Assert(count > 0, "StackPanels: no panel is left to take up the difference");
                // Each record gets the step by which the rounded running sum grows there, so exactly the
                // difference is handed out and the remainders fall where the sum steps.
                const long double step = static_cast<long double>(difference) / static_cast<long double>(count);
                long double running = 0;
                long long previous = 0;
                for (std::size_t i = 0; i < records.size(); ++i) {
                    if (!adjustable[i])
                        continue;
                    running += step;
                    const auto rounded = static_cast<long long>(std::nearbyintl(running));
                    records[i].Size = static_cast<int>(records[i].Size + (rounded - previous));
                    previous = rounded;
                }
                for (std::size_t i = 0; i < records.size(); ++i) {
                    TStackingRecord& r = records[i];
                    if (!adjustable[i])
                        continue;
                    if (growing ? r.Size > r.MaxSize : r.Size < r.MinSize) {
                        r.Size = growing ? r.MaxSize : r.MinSize;
                        adjustable[i] = false;
                        --count;
                    }
                }
                difference = length - SumOfSizes(records);
            }
        }
    }
    int position = 0;
    for (TStackingRecord& r : records) {
        r.Position = position;
        position += r.Size;
    }
}

std::vector<TSplitResult> DistributeSplitDrag(std::span<const TSplitRecord> records, int boundary, int travel)
{
    const auto count = static_cast<int>(records.size());
    toolkit::Assert(boundary >= 0 && boundary + 1 < count, "DistributeSplitDrag: no panel after the boundary");
    std::vector<TSplitResult> result(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        result[i].Size = records[i].Size;
    const auto at = [](int i) { return static_cast<std::size_t>(i); };
    // The panels before the boundary take t, from the nearest back; returns what they took.
    const auto takeBefore = [&](int t) {
        int rest = t;
        for (int i = boundary; i >= 0; --i) {
            const TSplitRecord& r = records[at(i)];
            result[at(i)].Size = r.Size;
            if (rest == 0)
                continue;
            const int size = Limit(static_cast<long long>(r.Size) + rest, r.MinSize, r.MaxSize);
            rest -= size - r.Size;
            result[at(i)].Size = size;
        }
        return t - rest;
    };
    if (travel != 0) {
        const int taken = takeBefore(travel);
        int rest = taken;
        for (int i = boundary + 1; i < count && rest != 0; ++i) {
            const TSplitRecord& r = records[at(i)];
            const int size = Limit(static_cast<long long>(r.Size) - rest, r.MinSize, r.MaxSize);
            rest -= r.Size - size;
            result[at(i)].Size = size;
        }
        if (rest != 0)
            takeBefore(taken - rest);  // what the far side could give
    }
    int position = 0;
    for (TSplitResult& r : result) {
        r.Position = position;
        position += r.Size;
    }
    return result;
}

}  // namespace ovrel::themes
