// The dialog gallery: each dialog of the program filled with sample data and grabbed as a PNG for a person to
// look at, in English and in German (whose texts are longer).
//   dialog_gallery LANGUAGE_FOLDER OUT_FOLDER   writes the shots and exits 0 when none is blank
//   dialog_gallery --check OUT_FOLDER           exits 0 when every shot exists and holds more than one colour
#include "app/About.h"
#include "app/DateTimeEdit.h"
#include "app/Config.h"
#include "app/EditProperties.h"
#include "app/Localizer.h"
#include "app/Preferences.h"
#include "core/PropertyCatalog.h"
#include "imaging/Builders.h"
#include "platform/ui/Window.h"
#include "support/Screenshot.h"
#include "toolkit/DateUtils.h"
#include "toolkit/Forms.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace ovrel;
using namespace ovrel::toolkit;
using imaging::fixtures::Dir;
using ovrel::test::HasContent;

const char* const Shots[] = {"edit-properties", "date-time-edit", "options-columns", "options-factors",
                             "factor-edit",     "about",          "about-credits"};

void Pump()
{
    for (int i = 0; i < 10; ++i) {
        Application()->ProcessMessages();
        QApplication::processEvents();
    }
}

// Shows the form (once), lets it paint and writes what its window shows.
bool Shoot(TCustomForm& form, const std::filesystem::path& file)
{
    if (!form.GetVisible())
        form.Show();
    Pump();
    QWidget* widget = ui::GetWindowWidget(form.GetHandle());
    const QImage image = widget != nullptr ? widget->grab().toImage() : QImage();
    if (!image.save(QString::fromStdString(file.string()), "PNG") || !HasContent(image)) {
        std::fprintf(stderr, "%s: no picture\n", file.string().c_str());
        return false;
    }
    return true;
}

std::vector<std::uint8_t> Photo(std::string_view title, std::string_view date)
{
    imaging::fixtures::TiffBytes block;
    block.Ascii(Dir::Ifd0, 271, "Ovrel Camera Works")
        .Ascii(Dir::Ifd0, 272, "OC-1 Mark II")
        .Ascii(Dir::Ifd0, 315, "Ann Example")
        .Ascii(Dir::Ifd0, 33432, "(c) 2024 Ann Example")
        .Ascii(Dir::Ifd0, 270, title)
        .Ascii(Dir::Ifd0, 306, date)
        .Ascii(Dir::Exif, 36867, date);
    return imaging::fixtures::JpegBytes().Exif(block.Build()).Frame(8, 8).Build();
}

bool ShootAll(const std::filesystem::path& out, const std::string& suffix)
{
    bool ok = true;
    // The edit dialog over two photos that differ in their description.
    const std::filesystem::path folder = out / ("photos" + suffix);
    std::filesystem::create_directories(folder);
    std::vector<std::unique_ptr<core::TVekImageInfo>> images;
    std::vector<core::TVekImageInfo*> selected;
    for (const char* title : {"Harbour at dawn", "Harbour at noon"}) {
        const std::filesystem::path file = folder / (std::string(title) + ".jpg");
        const std::vector<std::uint8_t> bytes = Photo(title, "2024:05:17 14:30:00");
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        images.push_back(std::make_unique<core::TVekImageInfo>(file.string()));
        selected.push_back(images.back().get());
    }
    {
        app::TEditProperties edit(nullptr);
        edit.LocalizeDialog();
        edit.SetImages(selected);
        edit.Show();
        edit.GetRows()[2].Edit->SetText("Harbour");  // a changed row: its undo button is enabled
        ok &= Shoot(edit, out / ("edit-properties" + suffix + ".png"));
    }
    {
        app::TDateTimeEdit date(nullptr);
        date.LocalizeDialog();
        date.InitialText = toolkit::DateTimeToStr(toolkit::EncodeDateTime(2024, 5, 17, 14, 30, 0, 0));
        date.Show();
        date.RadioButton2->SetChecked(true);
        date.UpDown1->SetPosition(1);
        date.DateTimePicker3->SetDateTime(toolkit::EncodeTime(1, 30, 0, 0));
        ok &= Shoot(date, out / ("date-time-edit" + suffix + ".png"));
    }
    {
        core::TReducedFocalLengthFactorTable& table = core::ImageInfoFormat().GetFactorTable();
        table.Clear();
        table.SetFactor("Ovrel Camera Works", "OC-1 Mark II", 1.5f);
        table.SetFactor("Ovrel Camera Works", "OC-2", 1.625f);
        table.SetFactor("Example Optics", "Pocket 7", 0.0f);
        app::TEXIFOvrelPreferencesForm options(nullptr);
        options.Constructed();
        options.ColumnListBox->SetItemIndex(1);
        options.UpdateControls();
        ok &= Shoot(options, out / ("options-columns" + suffix + ".png"));
        options.PageControl->SetActivePageIndex(1);
        options.RefreshFactorList();
        options.FactorListView->GetItems()->GetItem(1)->SetSelected(true);
        ok &= Shoot(options, out / ("options-factors" + suffix + ".png"));

        app::TFactorEditForm factor(&options);
        factor.Constructed();
        factor.SetMake("Ovrel Camera Works");
        factor.SetModel("OC-2");
        factor.ShowFactor(1.625);
        ok &= Shoot(factor, out / ("factor-edit" + suffix + ".png"));
        table.Clear();
    }
    {
        app::TAboutForm about(nullptr, 500);
        about.Constructed();
        ok &= Shoot(about, out / ("about" + suffix + ".png"));
        about.AboutTabControl->SetTabIndex(1);
        about.AboutTabControlChange(about.AboutTabControl);
        ok &= Shoot(about, out / ("about-credits" + suffix + ".png"));
    }
    return ok;
}

int Run(const std::string& languages, const std::filesystem::path& out)
{
    std::filesystem::create_directories(out);
    toolkit::FormatSettings() = toolkit::LocaleFormatSettings();
    app::TVekLocalizer localizer(languages);
    app::SetLocalizer(&localizer);
    bool ok = true;
    for (const auto& [langId, suffix] : {std::pair<std::uint16_t, std::string>{0x0409, ""}, {0x0407, "-de"}}) {
        localizer.SetLanguage(langId);
        app::LocalizeCatalogue();
        ok &= ShootAll(out, suffix);
    }
    app::SetLocalizer(nullptr);
    return ok ? 0 : 1;
}

}  // namespace

// Under the leak checker of sanitizer builds: the session bus library of the X platform keeps a buffer to
// the end, which is not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--check") {
        for (const char* shot : Shots)
            for (const char* suffix : {"", "-de"}) {
                const std::filesystem::path file =
                    std::filesystem::path(argv[2]) / (std::string(shot) + suffix + ".png");
                if (!HasContent(QImage(QString::fromStdString(file.string())))) {
                    std::fprintf(stderr, "%s is missing or blank\n", file.string().c_str());
                    return 1;
                }
            }
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: dialog_gallery LANGUAGE_FOLDER OUT_FOLDER | --check OUT_FOLDER\n");
        return 2;
    }
    QApplication app(argc, argv);
    try {
        return Run(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "dialog gallery failed: %s\n", e.what());
        return 1;
    }
}
