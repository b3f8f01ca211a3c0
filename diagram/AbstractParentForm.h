#pragma once

#include <QString>

namespace kelvane {

class AbstractProgressBar;

// The window that hosts the diagram control (the main window), as the control reaches it
// through its ParentForm. The host sets ParentForm to itself when it loads.
class AbstractParentForm {
public:
    virtual ~AbstractParentForm() = default;

    // The window's caption: the control writes the name of the network shown, and a
    // nameless network takes its name from it.
    virtual QString Caption() const = 0;
    virtual void setCaption(const QString& caption) = 0;

    // The window's name ("frmNavigate" for the main window).
    virtual QString Name() const = 0;

    // Gives the window the keyboard focus.
    virtual void SetFocus() = 0;

    // The window's progress bar (values 0 to 100); null when it has none.
    virtual AbstractProgressBar* ProgressBar1() = 0;

    // Asks the window to bring its toolbar up to date. A window without a toolbar to update
    // keeps this default, which does nothing; the control ignores any error of the call.
    virtual void UpdateToolbar() {}
};

} // namespace kelvane
