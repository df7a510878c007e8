#include "toolkit/Filer.h"

#include "toolkit/Lists.h"
#include "toolkit/SysUtils.h"

#include <cstring>
#include <memory>
#include <vector>

namespace ovrel::toolkit {

namespace {

enum TValueTag : std::uint8_t {
    vaInteger = 1,
    vaString = 2,
    vaFloat = 3,
    vaIdent = 4,
    vaSet = 5,
    vaObject = 6,
    vaCollection = 7,
    vaStrings = 8,
};

constexpr char Signature[4] = {'O', 'V', 'F', '1'};
// Objects inside objects; a stream that nests deeper is damaged.
constexpr int MaxDepth = 32;

[[noreturn]] void ReadError(const std::string& what) { throw EReadError("Error reading stream: " + what); }

// The tables of a class, its base classes' first: properties are written and read in that order.
std::vector<const TPropertyTable*> TablesBaseFirst(const TPersistent& instance)
{
    std::vector<const TPropertyTable*> tables;
    for (const TPropertyTable* t = &instance.GetPropertyTable(); t != nullptr; t = t->GetParent())
        tables.insert(tables.begin(), t);
    return tables;
}

}  // namespace

// ---- TComponent's streaming hooks -------------------------------------------------------------------------

void TComponent::DefineProperties(TFiler&) {}

void TComponent::ReadState(TReader& reader) { reader.ReadProperties(this); }

void TComponent::WriteState(TWriter& writer) { writer.WriteProperties(this); }

TFiler::~TFiler() = default;

// ---- TWriter ----------------------------------------------------------------------------------------------

TWriter::TWriter(TStream& stream) : TFiler(stream) {}

TWriter::~TWriter() = default;

void TWriter::WriteSignature() { GetStream().WriteBuffer(Signature, sizeof Signature); }

void TWriter::WriteRootComponent(TComponent* root)
{
    WriteSignature();
    WriteComponent(root);
}

void TWriter::WriteComponent(TComponent* component)
{
    WriteStr(ClassNameOf(*component));
    WriteStr(component->GetName());
    component->SetComponentStateItem(csWriting, true);
    try {
        component->WriteState(*this);
    } catch (...) {
        component->SetComponentStateItem(csWriting, false);
        throw;
    }
    component->SetComponentStateItem(csWriting, false);
    component->GetChildren([this](TComponent* child) { WriteComponent(child); }, component);
    WriteListEnd();
}

void TWriter::WriteProperties(const TPersistent* instance)
{
    const auto* component = dynamic_cast<const TComponent*>(instance);
    for (const TPropertyTable* table : TablesBaseFirst(*instance))
        for (const TPropInfo& info : table->GetOwnProperties()) {
            // The name travels with the class name.
            if (component != nullptr && info.Name == "Name")
                continue;
            WriteValue(*instance, info);
        }
    if (component != nullptr)
        const_cast<TComponent*>(component)->DefineProperties(*this);
    WriteListEnd();
}

void TWriter::WriteValue(const TPersistent& instance, const TPropInfo& info)
{
    if (info.Kind == TTypeKind::tkClass) {
        TPersistent* object = info.GetObject(instance);
        // References to other components are not this component's to write.
        if (object == nullptr || dynamic_cast<TComponent*>(object) != nullptr)
            return;
        WriteStr(info.Name);
        if (auto* collection = dynamic_cast<TCollection*>(object)) {
            WriteByte(vaCollection);
            WriteCount(static_cast<std::size_t>(collection->GetCount()));
            for (int i = 0; i < collection->GetCount(); ++i)
                WriteProperties(collection->GetItem(i));
            return;
        }
        WriteByte(vaObject);
        if (++FDepth > MaxDepth)
            throw EWriteError("Objects nest too deep to be written");
        WriteProperties(object);
        --FDepth;
        return;
    }
    // What cannot be read back is not written.
    if (!info.IsWritable())
        return;
    WriteStr(info.Name);
    switch (info.Kind) {
    case TTypeKind::tkInteger: WriteInteger(info.GetOrd(instance)); break;
    case TTypeKind::tkEnumeration: {
        const std::int64_t value = info.GetOrd(instance);
        WriteByte(vaIdent);
        WriteStr(value >= 0 && value < static_cast<std::int64_t>(info.Names.size())
                     ? info.Names[static_cast<std::size_t>(value)]
                     : std::to_string(value));
        break;
    }
    case TTypeKind::tkFloat: WriteFloat(info.GetFloat(instance)); break;
    case TTypeKind::tkString: WriteString(info.GetString(instance)); break;
    case TTypeKind::tkSet:
        WriteByte(vaSet);
        WriteStr(SetToString(info, info.GetOrd(instance), false));
        break;
    case TTypeKind::tkStrings: {
        const TStrings* lines = info.GetStrings(instance);
        WriteByte(vaStrings);
        WriteCount(lines != nullptr ? static_cast<std::size_t>(lines->GetCount()) : 0);
        for (int i = 0; lines != nullptr && i < lines->GetCount(); ++i)
            WriteStr(lines->Get(i));
        break;
    }
    case TTypeKind::tkClass: break;
    }
}

void TWriter::DefineProperty(const std::string& name, TReaderProc, TWriterProc writeData, bool hasData)
{
    if (!hasData || !writeData)
        return;
    WriteStr(name);
    writeData(*this);
}

void TWriter::WriteListEnd() { WriteStr(""); }

void TWriter::WriteByte(std::uint8_t value) { GetStream().WriteBuffer(&value, 1); }

void TWriter::WriteCount(std::size_t count)
{
    std::uint8_t bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(count >> (8 * i));
    GetStream().WriteBuffer(bytes, 4);
}

void TWriter::WriteInteger(std::int64_t value)
{
    WriteByte(vaInteger);
    std::uint8_t bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
    GetStream().WriteBuffer(bytes, 8);
}

void TWriter::WriteFloat(double value)
{
    WriteByte(vaFloat);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    std::uint8_t bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    GetStream().WriteBuffer(bytes, 8);
}

void TWriter::WriteString(std::string_view value)
{
    WriteByte(vaString);
    WriteStr(value);
}

void TWriter::WriteStr(std::string_view value)
{
    WriteCount(value.size());
    GetStream().WriteBuffer(value.data(), static_cast<std::int32_t>(value.size()));
}

// ---- TReader ----------------------------------------------------------------------------------------------

TReader::TReader(TStream& stream) : TFiler(stream) {}

TReader::~TReader() = default;

void TReader::ReadRootComponent(TComponent* root)
{
    char signature[4] = {};
    if (GetStream().Read(signature, 4) != 4 || std::memcmp(signature, Signature, 4) != 0)
        ReadError("not a component stream");
    const std::string className = ReadStr();
    if (!SameText(className, ClassNameOf(*root)))
        ReadError("a " + className + " cannot be read into a " + ClassNameOf(*root));
    const std::string name = ReadStr();
    FRoot = root;
    FParent = root;
    BeginLoading(*root);
    try {
        root->ReadState(*this);
        ReadChildren(root);
    } catch (...) {
        EndLoading(*root);
        throw;
    }
    EndLoading(*root);
}

void TReader::ReadChildren(TComponent* parent)
{
    for (std::string className = ReadStr(); !className.empty(); className = ReadStr()) {
        const TComponentClass componentClass = GetClass(className);
        if (!componentClass)
            ReadError("class " + className + " not found");
        const std::string name = ReadStr();
        TComponent* owner = parent->GetChildOwner();
        if (owner == nullptr)
            owner = FRoot;
        TComponent* child = componentClass.Create(owner);
        const auto unplaced = [child] {
            return child->GetOwner() == nullptr && child->GetParentComponent() == nullptr;
        };
        TComponent* const savedParent = FParent;
        TComponent* const savedOwner = FOwner;
        FParent = parent->GetChildParent();
        FOwner = owner;
        try {
            child->SetName(name);
            child->SetComponentStateItem(csLoading, true);
            child->SetComponentStateItem(csReading, true);
            child->ReadState(*this);
            child->SetComponentStateItem(csReading, false);
            ReadChildren(child);
            child->SetComponentStateItem(csLoading, false);
        } catch (...) {
            FParent = savedParent;
            FOwner = savedOwner;
            if (unplaced())
                delete child;  // nothing holds it: a half-read component is no one's
            else
                child->SetComponentStateItem(csReading, false);
            throw;
        }
        FParent = savedParent;
        FOwner = savedOwner;
        if (unplaced())
            delete child;  // its ReadState took it nowhere
    }
}

void TReader::ReadProperties(TComponent* component)
{
    std::map<std::string, TReaderProc> defined;
    FDefined.clear();
    component->DefineProperties(*this);
    defined.swap(FDefined);
    ReadPropertyList(component, &defined);
}

void TReader::SkipProperties() { ReadPropertyList(nullptr, nullptr); }

void TReader::ReadPropertyList(TPersistent* instance, const std::map<std::string, TReaderProc>* defined)
{
    for (std::string name = ReadStr(); !name.empty(); name = ReadStr()) {
        if (instance == nullptr) {
            SkipValue(ReadByte());
            continue;
        }
        if (defined != nullptr) {
            if (auto it = defined->find(name); it != defined->end()) {
                it->second(*this);
                continue;
            }
        }
        const TPropInfo* info = instance->GetPropertyTable().Find(name);
        if (info == nullptr)
            ReadError("property " + ClassNameOf(*instance) + "." + name + " does not exist");
        ReadValue(*instance, *info, ReadByte());
    }
}

void TReader::ReadValue(TPersistent& instance, const TPropInfo& info, std::uint8_t tag)
{
    const auto wrong = [&] { ReadError("invalid value for property " + info.Name); };
    if (info.Kind == TTypeKind::tkClass) {
        TPersistent* object = info.GetObject(instance);
        if (tag == vaCollection) {
            auto* collection = dynamic_cast<TCollection*>(object);
            if (collection == nullptr)
                wrong();
            const std::uint32_t count = ReadCount();
            // The items there are read into, so that what a class made itself (pictures) stays.
            collection->BeginUpdate();
            try {
                for (std::uint32_t i = 0; i < count; ++i) {
                    TCollectionItem* item = static_cast<int>(i) < collection->GetCount()
                                                ? collection->GetItem(static_cast<int>(i))
                                                : collection->Add();
                    EnterNested();
                    ReadPropertyList(item, nullptr);
                    --FDepth;
                }
                while (collection->GetCount() > static_cast<int>(count))
                    collection->Delete(collection->GetCount() - 1);
            } catch (...) {
                collection->EndUpdate();
                throw;
            }
            collection->EndUpdate();
            return;
        }
        if (tag != vaObject || object == nullptr || dynamic_cast<TComponent*>(object) != nullptr)
            wrong();
        EnterNested();
        ReadPropertyList(object, nullptr);
        --FDepth;
        return;
    }
    if (!info.IsWritable()) {
        SkipValue(tag);
        return;
    }
    switch (info.Kind) {
    case TTypeKind::tkInteger:
        if (tag != vaInteger)
            wrong();
        info.SetOrd(instance, RawInteger());
        return;
    case TTypeKind::tkEnumeration: {
        if (tag != vaIdent)
            wrong();
        const std::string name = ReadStr();
        for (std::size_t i = 0; i < info.Names.size(); ++i)
            if (SameText(info.Names[i], name)) {
                info.SetOrd(instance, static_cast<std::int64_t>(i));
                return;
            }
        wrong();
        return;
    }
    case TTypeKind::tkFloat:
        if (tag != vaFloat)
            wrong();
        info.SetFloat(instance, RawFloat());
        return;
    case TTypeKind::tkString:
        if (tag != vaString)
            wrong();
        info.SetString(instance, ReadStr());
        return;
    case TTypeKind::tkSet: {
        if (tag != vaSet)
            wrong();
        const std::string text = ReadStr();
        std::int64_t bits = 0;
        try {
            bits = StringToSet(info, text);
        } catch (const EPropertyError&) {
            wrong();
        }
        info.SetOrd(instance, bits);
        return;
    }
    case TTypeKind::tkStrings: {
        if (tag != vaStrings)
            wrong();
        TStringList lines;
        for (std::uint32_t i = 0, count = ReadCount(); i < count; ++i)
            lines.Add(ReadStr());
        info.SetStrings(instance, lines);
        return;
    }
    case TTypeKind::tkClass: return;
    }
}

void TReader::SkipValue(std::uint8_t tag)
{
    switch (tag) {
    case vaInteger:
    case vaFloat: {
        std::uint8_t bytes[8];
        GetStream().ReadBuffer(bytes, 8);
        return;
    }
    case vaString:
    case vaIdent:
    case vaSet: (void)ReadStr(); return;
    case vaObject:
        EnterNested();
        SkipProperties();
        --FDepth;
        return;
    case vaCollection:
        for (std::uint32_t i = 0, count = ReadCount(); i < count; ++i) {
            EnterNested();
            SkipProperties();
            --FDepth;
        }
        return;
    case vaStrings:
        for (std::uint32_t i = 0, count = ReadCount(); i < count; ++i)
            (void)ReadStr();
        return;
    default: ReadError("unknown value kind " + std::to_string(tag));
    }
}

void TReader::DefineProperty(const std::string& name, TReaderProc readData, TWriterProc, bool)
{
    if (readData)
        FDefined[name] = std::move(readData);
}

void TReader::EnterNested()
{
    if (++FDepth > MaxDepth)
        ReadError("objects nest too deep");
}

std::uint8_t TReader::ReadByte()
{
    std::uint8_t value = 0;
    GetStream().ReadBuffer(&value, 1);
    return value;
}

std::uint32_t TReader::ReadCount()
{
    std::uint8_t bytes[4];
    GetStream().ReadBuffer(bytes, 4);
    std::uint32_t count = 0;
    for (int i = 0; i < 4; ++i)
        count |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    TStream& stream = GetStream();
    const std::int64_t left = stream.GetSize() - stream.GetPosition();
    if (static_cast<std::int64_t>(count) > left)
        ReadError("a length of " + std::to_string(count) + " past the end");
    return count;
}

void TReader::Expect(std::uint8_t tag)
{
    if (ReadByte() != tag)
        ReadError("unexpected value kind");
}

std::int64_t TReader::ReadInteger()
{
    Expect(vaInteger);
    return RawInteger();
}

std::int64_t TReader::RawInteger()
{
    std::uint8_t bytes[8];
    GetStream().ReadBuffer(bytes, 8);
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i)
        value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return static_cast<std::int64_t>(value);
}

double TReader::ReadFloat()
{
    Expect(vaFloat);
    return RawFloat();
}

double TReader::RawFloat()
{
    std::uint8_t bytes[8];
    GetStream().ReadBuffer(bytes, 8);
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string TReader::ReadString()
{
    Expect(vaString);
    return ReadStr();
}

std::string TReader::ReadStr()
{
    const std::uint32_t length = ReadCount();
    std::string text(length, '\0');
    GetStream().ReadBuffer(text.data(), static_cast<std::int32_t>(length));
    return text;
}

}  // namespace ovrel::toolkit
