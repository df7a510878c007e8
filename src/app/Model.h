#pragma once
// The program's model: the images of the current folder and the settings of the run.

#include "app/Framework.h"
#include "core/ImageInfoList.h"

#include <string>

namespace ovrel::app {

inline constexpr const char* ApplicationTitle = "Exif Ovrel 1.60";

/// The executable's path with the extension ".chm".
[[nodiscard]] std::string DefaultHelpFile();

class TEXIFOvrelModel : public TVekModel {
public:
    TEXIFOvrelModel();
    ~TEXIFOvrelModel() override;

    /// Loads the configuration (a bad file gives the defaults), registers TCmExit and gives the localiser
    /// the program's help file before any language is applied.
    void Initialize(bool& interactive, TVekStartCommand& startCommand) override;
    /// Title, help file (a language's own help file is kept), then OnUpdateCaption.
    void Start() override;
    /// Saves the configuration; a failure is reported and shut-down goes on.
    void Finish() override;
    /// The catalogue captions and the "Not Defined" text of the current language.
    void LanguageChanged() override;

    [[nodiscard]] core::TEXIFImageInfoList& GetImageList() { return FImageList; }

    /// The configuration file; ConfigFileName() when empty.
    std::string ConfigFile;
    /// The main window's caption refresh, until the main window registers its own.
    toolkit::TNotifyEvent OnUpdateCaption;

private:
    void HelpFileChanged(toolkit::TObject* sender);

    core::TEXIFImageInfoList FImageList;
};

}  // namespace ovrel::app
