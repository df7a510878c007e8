#pragma once
// Helpers private to the themes layer: owned drawing objects and saved device-context states.

#include "platform/ui/Gdi.h"

namespace ovrel::themes::detail {

/// Owns a drawing object (pen, brush, bitmap, region, font) and deletes it on exit.
class TOwnedObject {
public:
    explicit TOwnedObject(ui::HGDIOBJ object) : FObject(object) {}
    ~TOwnedObject()
    {
        if (FObject != nullptr)
            ui::DeleteObject(FObject);
    }
    TOwnedObject(const TOwnedObject&) = delete;
    TOwnedObject& operator=(const TOwnedObject&) = delete;

    [[nodiscard]] ui::HGDIOBJ Get() const { return FObject; }

private:
    ui::HGDIOBJ FObject;
};

/// Saves the state of a device context and restores it on exit.
class TSavedDC {
public:
    explicit TSavedDC(ui::HDC dc) : FDC(dc), FLevel(ui::SaveDC(dc)) {}
    ~TSavedDC()
    {
        if (FLevel != 0)
            ui::RestoreDC(FDC, FLevel);
    }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    ui::HDC FDC;
    int FLevel;
};

}  // namespace ovrel::themes::detail
