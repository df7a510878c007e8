// The inspector's pictures and cursors come from its resource file.

#include "inspector/Resources.h"

#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <string>

using namespace ovrel::inspector;
using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

TEST(Resources, EveryBitmapNameLoads)
{
    struct Row {
        const char* Name;
        bool LimeKey;  // drawn leaving out clLime
    };
    const Row rows[] = {
        {"CHECKMARK", false},
        {"ALIGNMENTLEFT", false},
        {"ALIGNMENTCENTER", false},
        {"ALIGNMENTRIGHT", false},
        {"ALIGNMENTJUSTIFY", false},
        {"ALIGNMENTTOP", false},
        {"ALIGNMENTMIDDLE", false},
        {"ALIGNMENTBOTTOM", false},
        {"FONTSTYLEBOLD", false},
        {"FONTSTYLEITALIC", false},
        {"FONTSTYLEUNDERLINE", false},
        {"MORECOLORSBUTTON", true},
        {"NONECOLOR", false},
        {"NEWROW", true},
        {"CHECKED", false},
        {"UNCHECKED", false},
        {"OFFICE2003COLLAPSE", false},
        {"OFFICE2003EXPAND", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TBitmap bitmap;
        ASSERT_NO_THROW(LoadResourceBitmap(&bitmap, row.Name));
        EXPECT_FALSE(bitmap.GetEmpty());
        EXPECT_EQ(bitmap.GetPixelFormat(), pf32bit);
        const auto corner = static_cast<const std::uint32_t*>(bitmap.GetScanLine(bitmap.GetHeight() - 1))[0];
        if (row.LimeKey) {
            EXPECT_EQ(bitmap.GetTransparentColor(), clLime);  // the key is what a transparent draw leaves out
        } else if (std::string(row.Name).find("ALIGN") == 0 || std::string(row.Name).find("FONT") == 0 ||
                   std::string(row.Name) == "CHECKMARK") {
            // Toolbar glyphs: the bottom-left pixel is the transparent one, by key and by alpha.
            EXPECT_EQ(corner >> 24, 0u);
        }
    }
    TBitmap bitmap;
    EXPECT_THROW(LoadResourceBitmap(&bitmap, "NOSUCHBITMAP"), EResNotFound);
}

TEST(Resources, CursorsAreMadeOnceAndRegisteredWithTheScreen)
{
    RegisterEditorCursor();
    RegisterRollCursors();
    const TCursor ids[] = {crReversedArrow, crRoll, crRollUp, crRollDown};
    const ui::HCURSOR arrow = Screen()->GetCursors(crArrow);
    ui::HCURSOR made[4];
    for (int i = 0; i < 4; ++i) {
        made[i] = Screen()->GetCursors(ids[i]);
        EXPECT_NE(made[i], nullptr);
        EXPECT_NE(made[i], arrow);
    }
    EXPECT_NE(made[1], made[2]);
    RegisterEditorCursor();
    RegisterRollCursors();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Screen()->GetCursors(ids[i]), made[i]);
}

}  // namespace
