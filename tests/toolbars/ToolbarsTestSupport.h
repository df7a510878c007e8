#pragma once
// Helpers of the toolbar tests: exceptions that reach the application's handler, a memory DC over a bitmap
// whose pixels are read back, and a fixture that leaves no window or queued message behind.

#include "platform/ui/Gdi.h"
#include "platform/ui/Window.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

#include <QImage>

#include <gtest/gtest.h>

#include <exception>
#include <string>
#include <vector>

namespace ovrel::toolbars::testing {

/// Records what reaches the application's exception handler while it lives.
class ApplicationExceptions {
public:
    ApplicationExceptions() : FSaved(toolkit::Application()->OnException)
    {
        toolkit::Application()->OnException = toolkit::TExceptionEvent(this, &ApplicationExceptions::Record);
    }
    ~ApplicationExceptions() { toolkit::Application()->OnException = FSaved; }
    ApplicationExceptions(const ApplicationExceptions&) = delete;
    ApplicationExceptions& operator=(const ApplicationExceptions&) = delete;

    std::vector<std::string> Messages;

private:
    void Record(toolkit::TObject*, std::exception_ptr exception)
    {
        try {
            std::rethrow_exception(exception);
        } catch (const std::exception& e) {
            Messages.emplace_back(e.what());
        } catch (...) {
            Messages.emplace_back("unknown exception");
        }
    }

    toolkit::TExceptionEvent FSaved;
};

/// A memory DC drawing into a 32-bit bitmap.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height)
    {
        FDC = ui::CreateCompatibleDC(nullptr);
        FBitmap = ui::CreateCompatibleBitmap(nullptr, width, height);
        FOld = ui::SelectObject(FDC, FBitmap);
    }
    ~MemoryCanvas()
    {
        ui::SelectObject(FDC, FOld);
        ui::DeleteObject(FBitmap);
        ui::DeleteDC(FDC);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    [[nodiscard]] ui::HDC Dc() const { return FDC; }
    [[nodiscard]] QImage& Image() const { return *ui::GetBitmapImage(FBitmap); }
    /// Every pixel a colour of its own, so that any change shows.
    void FillDistinct() const
    {
        QImage& image = Image();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb((x * 7) & 0xFF, (y * 11) & 0xFF, (x * y) & 0xFF));
    }
    /// The pixels that differ from before.
    [[nodiscard]] int CountChanged(const QImage& before) const
    {
        const QImage& image = Image();
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != before.pixel(x, y))
                    ++n;
        return n;
    }

private:
    ui::HDC FDC = nullptr;
    ui::HBITMAP FBitmap = nullptr;
    ui::HGDIOBJ FOld = nullptr;
};

/// Starts from an empty queue and destroys the windows the test made, in TearDown, while what their
/// procedures write to still exists.
class WindowFixture : public ::testing::Test {
protected:
    WindowFixture() { ui::ClearMessageQueue(); }
    void TearDown() override
    {
        for (auto it = FCreated.rbegin(); it != FCreated.rend(); ++it) {
            if (ui::IsWindow(*it))
                ui::DestroyWindow(*it);
        }
        ui::ClearMessageQueue();
        ui::MSG msg;
        ui::PeekMessage(&msg, nullptr, 0, 0, ui::PM_NOREMOVE);  // frees what was destroyed
    }

    ui::HWND Create(ui::DWORD style, ui::RECT bounds, ui::HWND parent, ui::WNDPROC procedure)
    {
        ui::CreateWindowInfo info;
        info.ClassName = "ToolbarsTest";
        info.Style = style;
        info.X = bounds.left;
        info.Y = bounds.top;
        info.Width = bounds.right - bounds.left;
        info.Height = bounds.bottom - bounds.top;
        info.Parent = parent;
        info.WindowProc = std::move(procedure);
        ui::HWND window = ui::CreateWindowEx(info);
        EXPECT_NE(window, nullptr);
        FCreated.push_back(window);
        return window;
    }

    /// Retrieves and dispatches what is queued, without waiting.
    static void Pump()
    {
        ui::MSG msg;
        for (int guard = 0; guard < 1000 && ui::PeekMessage(&msg, nullptr, 0, 0, ui::PM_REMOVE); ++guard)
            ui::DispatchMessage(&msg);
    }

private:
    std::vector<ui::HWND> FCreated;
};

}  // namespace ovrel::toolbars::testing
