// The property grid as the main window shows it: four categories, 47 rows with the values of one image and
// a selected row, grabbed as a PNG for a person to look at.
//   inspector_shot OUT.png           shows the grid, writes OUT.png and exits (0 when the image is not blank)
//   inspector_shot --check OUT.png   exits 0 when OUT.png exists and holds more than one colour
#include "inspector/ApplicationRows.h"

#include "platform/ui/Window.h"
#include "toolkit/Forms.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <cstdio>
#include <exception>
#include <string>

namespace {

using namespace ovrel::inspector;
using namespace ovrel::toolkit;

bool HasContent(const QImage& image)
{
    if (image.isNull())
        return false;
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first)
                return true;
    return false;
}

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
    QWidget* widget = ovrel::ui::GetWindowWidget(form.GetHandle());
    if (widget == nullptr) {
        std::fprintf(stderr, "the form has no widget\n");
        return 1;
    }
    const QImage image = widget->grab().toImage();
    if (!image.save(QString::fromStdString(path), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    return HasContent(image) ? 0 : 1;
}

}  // namespace

// Under the leak checker of sanitizer builds: the session bus library of the X platform keeps a buffer to
// the end, which is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--check") {
        if (!HasContent(QImage(QString::fromLocal8Bit(argv[2])))) {
            std::fprintf(stderr, "%s is missing or blank\n", argv[2]);
            return 1;
        }
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: inspector_shot OUT.png | --check OUT.png\n");
        return 2;
    }
    QApplication app(argc, argv);
    try {
        return Shoot(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "inspector shot failed: %s\n", e.what());
        return 1;
    }
}
