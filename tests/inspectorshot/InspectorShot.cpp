// The property grid as the main window shows it: four categories, 47 rows with the values of one image and
// a selected row, grabbed as a PNG for a person to look at.
//   inspector_shot OUT.png           shows the grid, writes OUT.png and exits (0 when the image is not blank)
//   inspector_shot --check OUT.png   exits 0 when OUT.png exists and holds more than one colour
#include "inspector/ApplicationRows.h"

#include "support/Screenshot.h"

#include "platform/ui/Window.h"
#include "toolkit/Forms.h"

#include <QApplication>

#include <string>

namespace {

using namespace ovrel::inspector;
using namespace ovrel::toolkit;

int Shoot(const std::string& path)
{
    TForm form(nullptr);
    form.SetCaption("Properties");
    form.SetBounds(0, 0, 320, 560);
    auto* grid = new TPropertiesView(&form);
    testing::ConfigureLikeTheMainWindow(*grid);
    grid->SetParent(&form);
    grid->SetAlign(alClient);
    testing::BuildPropertyRows(*grid);
    testing::ShowSampleValues(*grid);
    form.Show();
    grid->SelectItem(grid->GetAbsoluteItem(2));
    grid->GetAbsoluteItem(17)->SetExpanded(false);  // the third category, collapsed
    for (int i = 0; i < 10; ++i) {
        Application()->ProcessMessages();
        QApplication::processEvents();
    }
    return ovrel::test::SaveShot(ovrel::ui::GetWindowWidget(form.GetHandle()), path);
}

}  // namespace

// Under the leak checker of sanitizer builds: the session bus library of the X platform keeps a buffer to
// the end, which is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) { return ovrel::test::ScreenshotMain(argc, argv, "inspector_shot", Shoot); }
