// The helper of the program's walks under a real X server: makes the fixture folder, grabs the screen and
// reads back what the program wrote.
//   ovrel_probe fixtures DIR          colourful JPEGs with metadata (one with the placeholder date) and a text file
//   ovrel_probe grab OUT.png          the whole screen, pop-ups and dialogs included; 1 when it is blank
//   ovrel_probe tag FILE ID           the text of a property of the image, as the program shows it
//   ovrel_probe pixel PNG X Y         the colour at a point of a shot, as RRGGBB
//   ovrel_probe config FILE           what a configuration file holds: the language and the last folder
#include "imaging/Builders.h"
#include "imaging/PixelBuilders.h"
#include "support/Screenshot.h"

#include "app/Config.h"
#include "core/ImageInfo.h"

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using namespace ovrel;
using imaging::fixtures::Dir;

void WriteFile(const std::string& name, const imaging::fixtures::Bytes& bytes)
{
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct TFixture {
    const char* Name;
    const char* Artist;
    const char* Title;
    const char* Date;
    std::uint32_t From;  // colour at the left edge
    std::uint32_t To;  // colour at the right edge
};

std::uint32_t Blend(std::uint32_t a, std::uint32_t b, std::uint32_t x, std::uint32_t width)
{
    std::uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
        const std::uint32_t ca = (a >> shift) & 0xFF;
        const std::uint32_t cb = (b >> shift) & 0xFF;
        out |= ((ca * (width - x) + cb * x) / width) << shift;
    }
    return out;
}

int MakeFixtures(const std::string& folder)
{
    const TFixture fixtures[] = {
        {"alpha.jpg", "Ann", "Harbour", "2021:05:04 10:00:00", 0xE04020, 0x2040E0},
        {"bravo.jpg", "Ben", "Harbour", "2022:06:05 11:30:00", 0x20C040, 0xF0E020},
        {"charlie.jpg", "Cara", "Hills", "0000:00:00 00:00:00", 0x8020C0, 0x20E0E0},
        {"delta.jpg", "Dan", "Town", "2020:01:02 08:15:00", 0xF08000, 0x004080},
    };
    for (const TFixture& f : fixtures) {
        imaging::fixtures::TiffBytes block;
        block.Ascii(Dir::Ifd0, 0x010F, "Ovrel Cameras")
            .Ascii(Dir::Ifd0, 0x0110, "Model One")
            .Ascii(Dir::Ifd0, 0x013B, f.Artist)
            .Ascii(Dir::Ifd0, 0x010E, f.Title)
            .Ascii(Dir::Ifd0, 0x0132, f.Date)
            .Ascii(Dir::Exif, 0x9003, f.Date)
            .Ascii(Dir::Exif, 0x9004, f.Date);
        imaging::fixtures::Bytes app1{'E', 'x', 'i', 'f', 0, 0};
        const imaging::fixtures::Bytes tiff = block.Build();
        app1.insert(app1.end(), tiff.begin(), tiff.end());
        const std::uint32_t width = 320;
        const std::uint32_t height = 200;
        WriteFile(folder + "/" + f.Name, imaging::pixelfixtures::EncodeJpeg(
                                             width, height,
                                             [&](std::uint32_t x, std::uint32_t y) {
                                                 return y < height / 8 ? 0xFFFFFFu - Blend(f.From, f.To, x, width)
                                                                       : Blend(f.From, f.To, x, width);
                                             },
                                             3, app1));
    }
    std::ofstream(folder + "/notes.txt") << "not an image\n";
    return 0;
}

int Grab(const std::string& path)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return 1;
    const QImage image = screen->grabWindow(0).toImage();
    if (!image.save(QString::fromStdString(path), "PNG"))
        return 1;
    return test::HasContent(image) ? 0 : 1;
}

int Tag(const std::string& file, const std::string& id)
{
    core::TVekImageInfo info(file);
    std::printf("%s\n", info.GetPropertyText(static_cast<std::uint32_t>(std::stoul(id, nullptr, 0))).c_str());
    return 0;
}

int Pixel(const std::string& path, int x, int y)
{
    const QImage image(QString::fromStdString(path));
    if (image.isNull() || !image.valid(x, y))
        return 1;
    std::printf("%06X\n", image.pixel(x, y) & 0xFFFFFFu);
    return 0;
}

// The first row from y0 to y1 whose pixel in column x is within a few steps of the colour, as "y".
int Find(const std::string& path, int x, int y0, int y1, const std::string& colour)
{
    const QImage image(QString::fromStdString(path));
    const QColor wanted(QString::fromStdString("#" + colour));
    if (image.isNull() || !wanted.isValid())
        return 2;
    for (int y = std::max(0, y0); y <= y1 && image.valid(x, y); ++y) {
        const QColor at = image.pixelColor(x, y);
        if (std::abs(at.red() - wanted.red()) <= 8 && std::abs(at.green() - wanted.green()) <= 8 &&
            std::abs(at.blue() - wanted.blue()) <= 8) {
            std::printf("%d\n", y);
            return 0;
        }
    }
    return 1;
}

int Config(const std::string& file)
{
    if (!app::LoadConfig(file))
        return 1;
    std::printf("LangId=%u\nLastFolder=%s\n", app::EXIFOvrelConfig().LangId, app::EXIFOvrelConfig().LastFolder.c_str());
    return 0;
}

}  // namespace

// Under the leak checker of sanitizer builds: the session bus library of the X platform keeps a buffer to
// the end, which is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "fixtures" && argc == 3)
        return MakeFixtures(argv[2]);
    if (command == "config" && argc == 3)
        return Config(argv[2]);
    if (command == "tag" && argc == 4)
        return Tag(argv[2], argv[3]);
    if (command == "grab" && argc == 3) {
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);  // the real screen, whatever the environment says
        QGuiApplication application(argc, argv);
        return Grab(argv[2]);
    }
    if (command == "pixel" && argc == 5) {
        QGuiApplication application(argc, argv);
        return Pixel(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    }
    if (command == "find" && argc == 7) {
        QGuiApplication application(argc, argv);
        return Find(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), argv[6]);
    }
    std::fprintf(stderr, "usage: ovrel_probe fixtures DIR | grab OUT.png | tag FILE ID | pixel PNG X Y | "
                         "find PNG X Y0 Y1 RRGGBB | config FILE\n");
    return 2;
}
