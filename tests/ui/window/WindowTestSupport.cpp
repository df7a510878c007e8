#include "WindowTestSupport.h"

#include <QApplication>

namespace ovrel::ui::test {
namespace {

class QtEnvironment final : public ::testing::Environment {
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "ui_window_tests";
        static char* argv[] = {name, nullptr};
        FApp = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { FApp.reset(); }

private:
    std::unique_ptr<QApplication> FApp;
};

[[maybe_unused]] ::testing::Environment* const Registered = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

WindowTest::WindowTest()
{
    ClearMessageQueue();
    SetApplicationActive(true);
}

WindowTest::~WindowTest()
{
    Rec.OnMessage = nullptr;  // it may refer to locals of the test, gone by now
    ReleaseCapture();
    for (HWND w : GetTopLevelWindows())
        DestroyWindow(w);
    for (HWND w : FCreated) {
        if (IsWindow(w))
            DestroyWindow(w);
    }
    SetApplicationActive(false);
    for (int vk : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LBUTTON, VK_RBUTTON})
        SetKeyState(vk, false);
    ClearMessageQueue();
    MSG msg;
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);  // frees what was destroyed
}

HWND WindowTest::Create(DWORD style, RECT bounds, HWND parent, DWORD exStyle, std::string className)
{
    CreateWindowInfo info;
    info.ExStyle = exStyle;
    info.ClassName = std::move(className);
    info.Style = style;
    info.X = bounds.left;
    info.Y = bounds.top;
    info.Width = bounds.right - bounds.left;
    info.Height = bounds.bottom - bounds.top;
    info.Parent = parent;
    info.WindowProc = Rec.Proc();
    HWND w = CreateWindowEx(info);
    EXPECT_NE(w, nullptr);
    FCreated.push_back(w);
    return w;
}

HWND WindowTest::CreateNative(const std::string& className, QWidget* widget, RECT bounds, HWND parent)
{
    CreateWindowInfo info;
    info.ClassName = className;
    info.Style = WS_CHILD | WS_VISIBLE;
    info.X = bounds.left;
    info.Y = bounds.top;
    info.Width = bounds.right - bounds.left;
    info.Height = bounds.bottom - bounds.top;
    info.Parent = parent;
    info.Widget = widget;
    info.WindowProc = Rec.Proc();
    HWND w = CreateWindowEx(info);
    EXPECT_NE(w, nullptr);
    return w;
}

void WindowTest::Pump()
{
    MSG msg;
    for (int guard = 0; guard < 1000 && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

}  // namespace ovrel::ui::test
