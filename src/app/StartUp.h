#pragma once
// The program's start-up and shut-down order.

#include "app/Framework.h"
#include "app/VekForm.h"

#include <functional>

namespace ovrel::app {

struct TStartUpOptions {
    /// Empty: the program's model (TEXIFOvrelModel).
    TVekApplication::ModelFactory MakeModel;
    /// Empty: the localiser of the language folder beside the executable.
    TVekApplication::LocalizerFactory MakeLocalizer;
    /// Called after the forms are made, before the model runs.
    std::function<void(TVekApplication&)> OnReady;
    /// The main form is shown after the model's Start, before the loop, when interactive.
    bool ShowMainForm = true;
};

/// Installs every desktop service: error boxes for exceptions, and the desktop's MIME database for the content
/// types the image-file layer does not know itself. The program calls it first thing at start-up.
void InstallDesktopServices();

/// Makes the user's locale (LC_NUMERIC and LC_TIME of the environment) the settings every text is formatted
/// with: separators, date and time formats, month and day names. Called once, before the first text is
/// formatted.
void ApplyUserLocale();

/// Installs the framework application, initialises the model, starts the themes, makes the forms when
/// interactive, runs the model and shuts down: forms first, then the localiser, the themes, then the
/// application with the model. Returns the exit code. Errors of the model's start propagate, as nothing can run without it.
int RunStartUp(const TStartUpOptions& options = {});

}  // namespace ovrel::app
