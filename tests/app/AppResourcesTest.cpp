// The pictures built into the program: each one there and in the shape its user expects.
#include "app/AppResources.h"

#include "app/Framework.h"
#include "platform/imaging/Constants.h"
#include "platform/imaging/Image.h"

#include <QGuiApplication>
#include <QIcon>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace ovrel::app {
namespace {

using namespace ovrel::toolkit;

TEST(AppResources, TheGlyphsTheLogoAndTheIconAreBuiltIn)
{
    TBitmap date;
    LoadAppBitmap(date, "PROPDATETIME");
    EXPECT_EQ(date.GetWidth(), 16);
    EXPECT_EQ(date.GetHeight(), 16);
    TBitmap undo;
    LoadAppBitmap(undo, "UNDO");
    EXPECT_EQ(undo.GetWidth(), 2 * undo.GetHeight()) << "a normal and a disabled cell";
    TBitmap none;
    EXPECT_THROW(LoadAppBitmap(none, "NOSUCHGLYPH"), EResNotFound);

    const std::vector<std::uint8_t> logo = AppResourceData("ABOUT.jpg");
    const std::unique_ptr<imaging::Image> image = imaging::Image::FromMemory(logo);
    EXPECT_EQ(image->GetLastStatus(), imaging::Status::Ok);
    EXPECT_EQ(image->GetRawFormat(), imaging::ImageFormatJPEG);

    // The icon reaches every window once the application is made: round, so its corners are clear.
    const TVekApplication application(nullptr);
    const QImage icon = QGuiApplication::windowIcon().pixmap(64, 64).toImage();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(icon.width() / 2, icon.height() / 4)), 255);
}

}  // namespace
}  // namespace ovrel::app
