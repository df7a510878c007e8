#pragma once

#include "toolkit/System.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ovrel::toolkit {

class TStream;

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

/// Negative, zero or positive, as item1 sorts before, with or after item2.
using TListSortCompare = std::function<int(void* item1, void* item2)>;

/// A list of untyped pointers. Descendants that own their items free them in Notify; such a descendant
/// must call Clear in its own destructor, since the base destructor cannot reach the override.
class TList : public TObject {
public:
    TList() = default;
    ~TList() override;

    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    /// Removes the first occurrence; its former index, or -1.
    int Remove(void* item);
    /// Removes the first occurrence without deleting it (lnExtracted); the item, or nullptr.
    void* Extract(void* item);
    int IndexOf(const void* item) const;
    int GetCount() const { return static_cast<int>(FItems.size()); }
    int Count() const { return GetCount(); }
    /// Grows with nullptr items or shrinks (lnDeleted for each removed one).
    void SetCount(int count);
    void* Get(int index) const;
    void* GetItem(int index) const { return Get(index); }
    /// Replaces an item: lnDeleted for the old one, lnAdded for the new one.
    void Put(int index, void* item);
    void SetItem(int index, void* item) { Put(index, item); }
    void* operator[](int index) const { return Get(index); }
    virtual void Clear();
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    void* First() const;
    void* Last() const;
    /// Stable.
    void Sort(const TListSortCompare& compare);
    /// Removes every nullptr item.
    void Pack();
    const std::vector<void*>& List() const { return FItems; }

protected:
    /// Called after an item was added, and after it was extracted or deleted.
    virtual void Notify(void* ptr, TListNotification action);
    [[noreturn]] static void Error(int index);
    void CheckIndex(int index) const;

private:
    std::vector<void*> FItems;
};

/// A typed list of objects that frees them on delete, clear and destruction while OwnsObjects is true.
template <class T> class TObjectList : public TList {
public:
    explicit TObjectList(bool ownsObjects = true) : FOwnsObjects(ownsObjects) {}
    ~TObjectList() override { Clear(); }

    int Add(T* item) { return TList::Add(item); }
    void Insert(int index, T* item) { TList::Insert(index, item); }
    int Remove(T* item) { return TList::Remove(item); }
    T* Extract(T* item) { return static_cast<T*>(TList::Extract(item)); }
    int IndexOf(const T* item) const { return TList::IndexOf(item); }
    T* Get(int index) const { return static_cast<T*>(TList::Get(index)); }
    T* GetItem(int index) const { return Get(index); }
    void Put(int index, T* item) { TList::Put(index, item); }
    void SetItem(int index, T* item) { TList::Put(index, item); }
    T* operator[](int index) const { return Get(index); }
    T* First() const { return static_cast<T*>(TList::First()); }
    T* Last() const { return static_cast<T*>(TList::Last()); }
    void Sort(const std::function<int(T*, T*)>& compare)
    {
        TList::Sort([&compare](void* a, void* b) { return compare(static_cast<T*>(a), static_cast<T*>(b)); });
    }

    bool GetOwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool value) { FOwnsObjects = value; }

protected:
    void Notify(void* ptr, TListNotification action) override
    {
        if (action == lnDeleted && FOwnsObjects)
            delete static_cast<T*>(ptr);
        TList::Notify(ptr, action);
    }

private:
    bool FOwnsObjects;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

/// An abstract list of strings, each with an object pointer (not owned). Lines of the form "name=value"
/// serve as a dictionary. Text is UTF-8 bytes.
class TStrings : public TObject {
public:
    TStrings() = default;
    ~TStrings() override;

    virtual int GetCount() const = 0;
    virtual std::string Get(int index) const = 0;
    std::string GetString(int index) const { return Get(index); }
    std::string operator[](int index) const { return Get(index); }
    virtual void Put(int index, const std::string& text);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* object);

    /// The index the string got (a sorted list puts it in order).
    virtual int Add(const std::string& text);
    virtual int AddObject(const std::string& text, TObject* object);
    virtual void Insert(int index, const std::string& text) = 0;
    virtual void InsertObject(int index, const std::string& text, TObject* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual void Move(int curIndex, int newIndex);
    virtual void Exchange(int index1, int index2);
    /// Without regard to ASCII case in the base; TStringList follows its CaseSensitive.
    virtual int IndexOf(std::string_view text) const;
    int IndexOfObject(const TObject* object) const;
    /// The line whose name part is `name`, or -1.
    int IndexOfName(std::string_view name) const;
    /// The part before the first '=', "" for a line without one.
    std::string GetName(int index) const;
    /// The value of the first line named `name`, "" when none.
    std::string GetValue(std::string_view name) const;
    /// Replaces the value of the first line named `name`, adds "name=value" when none, deletes the line
    /// when value is empty.
    void SetValue(std::string_view name, std::string_view value);
    std::string GetValueFromIndex(int index) const;
    char GetNameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(char value) { FNameValueSeparator = value; }

    /// Each line followed by "\n".
    std::string GetText() const;
    /// Splits at LF, CR LF or CR; a final line break adds no empty line.
    virtual void SetText(std::string_view text);

    /// Copies strings and objects.
    virtual void Assign(const TStrings& source);
    void AddStrings(const TStrings& source);

    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const { return FUpdateCount; }

    /// Reads UTF-8, falling back to Latin-1 for lines that are not; a leading byte-order mark is dropped.
    /// Raises EFOpenError when the file cannot be read.
    virtual void LoadFromFile(const std::string& fileName);
    /// Writes the text atomically; raises EFCreateError / EWriteError.
    virtual void SaveToFile(const std::string& fileName) const;
    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToStream(TStream& stream) const;

protected:
    /// Called when the first BeginUpdate starts and the last EndUpdate ends an update.
    virtual void SetUpdateState(bool updating);
    virtual int CompareStrings(std::string_view a, std::string_view b) const;
    [[noreturn]] static void Error(std::string_view format, int index);

private:
    int FUpdateCount = 0;
    char FNameValueSeparator = '=';
};

class TStringList;
/// Negative, zero or positive, as the string at index1 sorts before, with or after the one at index2.
using TStringListSortCompare = std::function<int(TStringList& list, int index1, int index2)>;

/// The ordinary string list: optionally sorted, with change events.
class TStringList : public TStrings {
public:
    TStringList() = default;
    ~TStringList() override;

    int GetCount() const override { return static_cast<int>(FItems.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& text) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    int Add(const std::string& text) override;
    int AddObject(const std::string& text, TObject* object) override;
    /// Raises EListError on a sorted list.
    void Insert(int index, const std::string& text) override;
    void InsertObject(int index, const std::string& text, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    void Exchange(int index1, int index2) override;
    int IndexOf(std::string_view text) const override;
    void SetText(std::string_view text) override;
    void Assign(const TStrings& source) override;

    /// Binary search of a sorted list (linear otherwise): true and the index when found, else false and the
    /// index where the string would go.
    bool Find(std::string_view text, int& index) const;
    /// Stable.
    virtual void Sort();
    /// Stable.
    virtual void CustomSort(const TStringListSortCompare& compare);

    bool GetSorted() const { return FSorted; }
    void SetSorted(bool value);
    TDuplicates GetDuplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates value) { FDuplicates = value; }
    bool GetCaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool value);

    TNotifyEvent OnChange;  // sender is the list; after a change, once per change, not while updating
    TNotifyEvent OnChanging;  // sender is the list; before a change

protected:
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool updating) override;
    int CompareStrings(std::string_view a, std::string_view b) const override;
    void InsertItem(int index, const std::string& text, TObject* object);

private:
    struct TStringItem {
        std::string FString;
        TObject* FObject = nullptr;
    };
    void CheckIndex(int index) const;
    void StableSort(const std::function<bool(const TStringItem&, const TStringItem&)>& less);

    std::vector<TStringItem> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = dupIgnore;
};

}  // namespace ovrel::toolkit
