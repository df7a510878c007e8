#pragma once
// The themes' run-time state as one object: the shared work objects and small-caption font, the theme manager,
// the registered "Default" theme and the nexus holding it as the current theme.

namespace ovrel::themes {

/// Made once before the first themed control and freed after the last one; tests make one per fixture.
/// Nothing of the themes works in static initialisers: everything starts here and stops in reverse.
class TThemeRuntime {
public:
    TThemeRuntime();
    ~TThemeRuntime();
    TThemeRuntime(const TThemeRuntime&) = delete;
    TThemeRuntime& operator=(const TThemeRuntime&) = delete;

    /// Whether a runtime is running.
    [[nodiscard]] static bool Running();
};

}  // namespace ovrel::themes
