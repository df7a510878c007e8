#pragma once
// The base of the program's forms: they fetch their texts again whenever the language changes.

#include "toolkit/Forms.h"

namespace ovrel::app {

class TVekForm : public toolkit::TForm {
public:
    /// Registers with the localiser of the run, when there is one.
    explicit TVekForm(toolkit::TComponent* owner);
    /// Unregisters before the form is taken apart.
    ~TVekForm() override;

    /// Fetches the form's texts; empty in the base.
    virtual void Localize();

    /// Ends construction: a language applied already reaches the finished form's Localize. The
    /// application's CreateForm calls it; code making a form by hand calls it after the constructor.
    void Constructed();
    [[nodiscard]] bool GetRegistered() const { return FRegistered; }

private:
    // While the constructor runs, Localize would reach only the base, so a call is held until Constructed.
    void LocalizeHandler();

    bool FRegistered = false;
    bool FConstructed = false;
    bool FPending = false;
};

}  // namespace ovrel::app
