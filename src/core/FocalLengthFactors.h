#pragma once
// Focal-length factors per camera make and model, from which the 35 mm equivalent is computed.

#include "toolkit/Lists.h"

#include <string>
#include <string_view>

namespace ovrel::core {

struct TReducedFocalLengthFactor {
    std::string Make;
    std::string Model;
    float Factor = 0.0f;  // 0 until the user enters one
};

/// Rows in order of addition, owned by the table: a row deleted from the list or left at destruction is
/// freed. Exchanged with INI files of one section per make and one key per model.
class TReducedFocalLengthFactorTable : public toolkit::TList {
public:
    TReducedFocalLengthFactorTable();
    ~TReducedFocalLengthFactorTable() override;

    /// Appends a row with empty make and model and factor 0; the table owns it.
    TReducedFocalLengthFactor* AddRecord();
    [[nodiscard]] TReducedFocalLengthFactor* GetItem(int index) const;
    /// The last row whose make and model equal the trimmed arguments exactly, or -1.
    [[nodiscard]] int IndexOf(std::string_view make, std::string_view model) const;
    /// The factor of the camera, 0 when unknown; an unknown camera is added with factor 0 while AutoAdd.
    float GetFactor(std::string_view make, std::string_view model);
    /// Sets the factor of the camera, appending a row with make and model as passed when unknown.
    void SetFactor(std::string_view make, std::string_view model, float factor);

    [[nodiscard]] bool GetAutoAdd() const noexcept { return FAutoAdd; }
    void SetAutoAdd(bool value) noexcept { FAutoAdd = value; }

    /// Writes every row into the INI file, keeping the file's other keys. Raises when it cannot be written.
    void SaveToFile(const std::string& fileName) const;
    /// Adds and updates rows from the INI file; raises EConvertError at a value that is not a number, the
    /// rows before it staying imported.
    void LoadFromFile(const std::string& fileName);

protected:
    void Notify(void* ptr, toolkit::TListNotification action) override;

private:
    bool FAutoAdd = true;
};

}  // namespace ovrel::core
