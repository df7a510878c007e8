#pragma once
// The few values the program reads from the user's settings registry (the menu show delay and whether the
// menu sounds are on). This desktop has no such registry, so by default nothing is found; tests put a fake in
// place that answers with each outcome the callers tell apart.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace ovrel::ui {

enum class RegistryStatus : std::uint8_t {
    Found,  // a string value that fits the buffer
    NotFound,  // no such key or value
    WrongType,  // the value is not a string
    MoreData,  // a string value longer than the buffer
};

struct RegistryRead {
    RegistryStatus Status = RegistryStatus::NotFound;
    std::string Text;  // the value when Found, else empty
};

class IRegistryValues {
public:
    virtual ~IRegistryValues() = default;
    // The string value `name` ("" = the key's default value) of `key`, a path below the current user's root
    // ("Control Panel\Desktop"), read into a buffer of bufferSize bytes, the terminating zero included.
    virtual RegistryRead ReadString(std::string_view key, std::string_view name, std::size_t bufferSize) = 0;
};

// Answers from a table. Keys and value names compare without regard to ASCII case, as the registry does.
class FakeRegistryValues final : public IRegistryValues {
public:
    void SetString(std::string_view key, std::string_view name, std::string text);
    // A value of another type than a string (a number, binary data).
    void SetOtherType(std::string_view key, std::string_view name);
    void Remove(std::string_view key, std::string_view name);
    RegistryRead ReadString(std::string_view key, std::string_view name, std::size_t bufferSize) override;

private:
    struct Value {
        bool IsString = true;
        std::string Text;
    };
    static std::pair<std::string, std::string> KeyOf(std::string_view key, std::string_view name);
    std::map<std::pair<std::string, std::string>, Value> FValues;
};

// The default finds nothing.
IRegistryValues& RegistryValues();
IRegistryValues* SetRegistryValues(IRegistryValues* values);

}  // namespace ovrel::ui
