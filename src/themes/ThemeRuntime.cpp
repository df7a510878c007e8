#include "themes/ThemeRuntime.h"

#include "themes/DefaultTheme.h"
#include "themes/Nexus.h"
#include "themes/ThemeInterface.h"
#include "themes/ThemeManager.h"
#include "themes/ThemeUtils.h"

#include "toolkit/SysUtils.h"

#include <memory>

namespace ovrel::themes {

namespace {

bool& RunningFlag()
{
    static bool running = false;
    return running;
}

// Undoes the steps of a start-up that failed halfway, last first.
void Stop(int stepsDone)
{
    if (stepsDone >= 4)
        StopNexus();  // releases the current theme while the registry still holds it
    if (stepsDone >= 3)
        ClearThemeRegistry();
    if (stepsDone >= 2)
        StopThemeManager();
    if (stepsDone >= 1)
        StopThemeUtilities();
}

}  // namespace

TThemeRuntime::TThemeRuntime()
{
    toolkit::Assert(!RunningFlag(), "TThemeRuntime: a runtime is already running");
    int steps = 0;
    try {
        StartThemeUtilities();
        ++steps;
        StartThemeManager();
        ++steps;
        RegisterTheme("Default", [](const std::string& name) { return std::make_unique<TTBXDefaultTheme>(name); });
        ++steps;
        StartNexus("Default");
        ++steps;
    } catch (...) {
        Stop(steps);
        throw;
    }
    RunningFlag() = true;
}

TThemeRuntime::~TThemeRuntime()
{
    Stop(4);
    RunningFlag() = false;
}

bool TThemeRuntime::Running() { return RunningFlag(); }

}  // namespace ovrel::themes
