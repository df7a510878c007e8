#pragma once
// Screenshot programs: a window grabbed as a PNG for a person to look at, and the check that a shot holds
// a picture.
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <cstdio>
#include <exception>
#include <functional>
#include <string>

namespace ovrel::test {

/// A blank shot (one colour everywhere) means nothing was drawn.
inline bool HasContent(const QImage& image)
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

/// Grabs widget into the PNG file path; 0 when it was written and is not blank.
inline int SaveShot(QWidget* widget, const std::string& path)
{
    if (widget == nullptr) {
        std::fprintf(stderr, "the window has no widget\n");
        return 1;
    }
    const QImage image = widget->grab().toImage();
    if (!image.save(QString::fromStdString(path), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    return HasContent(image) ? 0 : 1;
}

/// The whole main of a screenshot program called name:
///   name OUT.png           shoot(OUT.png) with a QApplication; its exit code
///   name --check OUT.png   0 when OUT.png exists and holds more than one colour
inline int ScreenshotMain(int argc, char** argv, const char* name, const std::function<int(const std::string&)>& shoot)
{
    if (argc == 3 && std::string(argv[1]) == "--check") {
        if (!HasContent(QImage(QString::fromLocal8Bit(argv[2])))) {
            std::fprintf(stderr, "%s is missing or blank\n", argv[2]);
            return 1;
        }
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.png | --check OUT.png\n", name);
        return 2;
    }
    QApplication app(argc, argv);
    try {
        return shoot(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s failed: %s\n", name, e.what());
        return 1;
    }
}

}  // namespace ovrel::test
