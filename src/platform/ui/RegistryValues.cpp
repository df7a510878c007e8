#include "platform/ui/RegistryValues.h"

#include "platform/ui/Services_p.h"

#include <algorithm>
#include <cctype>

namespace ovrel::ui {
namespace {

class NoRegistry final : public IRegistryValues {
public:
    RegistryRead ReadString(std::string_view, std::string_view, std::size_t) override { return {}; }
};

Slot<IRegistryValues, NoRegistry>& RegistrySlot()
{
    static Slot<IRegistryValues, NoRegistry> slot;
    return slot;
}

std::string Folded(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

}  // namespace

std::pair<std::string, std::string> FakeRegistryValues::KeyOf(std::string_view key, std::string_view name)
{
    return {Folded(key), Folded(name)};
}

void FakeRegistryValues::SetString(std::string_view key, std::string_view name, std::string text)
{
    FValues[KeyOf(key, name)] = Value{true, std::move(text)};
}

void FakeRegistryValues::SetOtherType(std::string_view key, std::string_view name)
{
    FValues[KeyOf(key, name)] = Value{false, {}};
}

void FakeRegistryValues::Remove(std::string_view key, std::string_view name) { FValues.erase(KeyOf(key, name)); }

RegistryRead FakeRegistryValues::ReadString(std::string_view key, std::string_view name, std::size_t bufferSize)
{
    const auto it = FValues.find(KeyOf(key, name));
    if (it == FValues.end())
        return {};
    if (!it->second.IsString)
        return {RegistryStatus::WrongType, {}};
    if (it->second.Text.size() >= bufferSize)  // the terminating zero needs a byte too
        return {RegistryStatus::MoreData, {}};
    return {RegistryStatus::Found, it->second.Text};
}

IRegistryValues& RegistryValues() { return RegistrySlot().Get(); }
IRegistryValues* SetRegistryValues(IRegistryValues* values) { return RegistrySlot().Set(values); }

}  // namespace ovrel::ui
