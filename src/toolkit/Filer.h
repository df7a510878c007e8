#pragma once
// Components written to a stream and read back: class name, name, published properties (objects, fonts,
// collections and string lists among them), the properties a class defines for itself, then the children
// its GetChildren gives, each the same way. The byte format is this program's own:
//   stream     = "OVF1" component
//   component  = string(class name) string(name) properties children
//   properties = { string(name) value } string("")
//   children   = { component } string("")
//   value      = tag, then: integer int64 | string | float double | identifier string | set string (element
//                names joined by ",") | object properties | collection uint32(count) { properties } |
//                strings uint32(count) { string }
//   string     = uint32(byte count) bytes; numbers little-endian.
// Reading checks every count and length against the bytes left, so a damaged stream is an EReadError.

#include "toolkit/Classes.h"
#include "toolkit/Streams.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace ovrel::toolkit {

/// What readers and writers share: the stream and the properties a component defines for itself.
class TFiler : public TObject {
public:
    using TReaderProc = std::function<void(TReader& reader)>;
    using TWriterProc = std::function<void(TWriter& writer)>;

    ~TFiler() override;
    /// A property the component streams itself: readData reads its value, writeData writes it, and only
    /// when hasData.
    virtual void DefineProperty(const std::string& name, TReaderProc readData, TWriterProc writeData, bool hasData) = 0;
    [[nodiscard]] TStream& GetStream() const { return FStream; }

protected:
    /// stream: borrowed; must outlive the filer.
    explicit TFiler(TStream& stream) : FStream(stream) {}

private:
    TStream& FStream;
};

class TWriter : public TFiler {
public:
    explicit TWriter(TStream& stream);
    ~TWriter() override;

    /// The signature, then root and everything below it.
    void WriteRootComponent(TComponent* root);
    /// One component and its children (no signature).
    void WriteComponent(TComponent* component);
    /// The published properties that can be read back, then the defined ones, then the list's end.
    void WriteProperties(const TPersistent* instance);

    void WriteSignature();
    /// Ends a list of properties or children.
    void WriteListEnd();
    void WriteInteger(std::int64_t value);
    void WriteFloat(double value);
    /// A string value (tagged); WriteStr writes the bare string of names and class names.
    void WriteString(std::string_view value);
    void WriteStr(std::string_view value);

    void DefineProperty(const std::string& name, TReaderProc readData, TWriterProc writeData, bool hasData) override;

private:
    void WriteValue(const TPersistent& instance, const TPropInfo& info);
    void WriteByte(std::uint8_t value);
    void WriteCount(std::size_t count);

    int FDepth = 0;
};

class TReader : public TFiler {
public:
    explicit TReader(TStream& stream);
    ~TReader() override;

    /// Reads what WriteRootComponent wrote into root (of the same class): its properties, then its
    /// children, each made from its registered class with root's child owner and given the parent its
    /// ReadState sees. A child left with neither owner nor parent component is freed. EReadError for a
    /// damaged stream; what was read before stays.
    void ReadRootComponent(TComponent* root);
    /// The properties of a component, published and defined (ReadState calls it).
    void ReadProperties(TComponent* component);
    /// Passes over a list of properties without applying it.
    void SkipProperties();

    [[nodiscard]] TComponent* GetRoot() const { return FRoot; }
    /// The component the one being read belongs to.
    [[nodiscard]] TComponent* GetParent() const { return FParent; }
    [[nodiscard]] TComponent* GetOwner() const { return FOwner; }

    [[nodiscard]] std::int64_t ReadInteger();
    [[nodiscard]] double ReadFloat();
    [[nodiscard]] std::string ReadString();
    [[nodiscard]] std::string ReadStr();

    void DefineProperty(const std::string& name, TReaderProc readData, TWriterProc writeData, bool hasData) override;

private:
    void ReadChildren(TComponent* parent);
    void ReadPropertyList(TPersistent* instance, const std::map<std::string, TReaderProc>* defined);
    void ReadValue(TPersistent& instance, const TPropInfo& info, std::uint8_t tag);
    void SkipValue(std::uint8_t tag);
    [[nodiscard]] std::uint8_t ReadByte();
    [[nodiscard]] std::int64_t RawInteger();
    [[nodiscard]] double RawFloat();
    /// A count or length, no larger than the bytes left (each element takes at least one).
    [[nodiscard]] std::uint32_t ReadCount();
    void Expect(std::uint8_t tag);
    void EnterNested();

    TComponent* FRoot = nullptr;
    TComponent* FParent = nullptr;
    TComponent* FOwner = nullptr;
    std::map<std::string, TReaderProc> FDefined;
    int FDepth = 0;
};

}  // namespace ovrel::toolkit
