#pragma once

#include "consult/ConsultationWindow.h"

class QWidget;

namespace kelvane {

class ctlPelnet;

// The program's main window as a consultation uses it: the window that hosts the diagram,
// is disabled while the consultation's dialogs are open and is enabled again when it ends.
// The dialogs are its child windows.
class AbstractMainWindow : public ConsultationWindow {
public:
    // The main window's Name.
    static inline const QString kName = QStringLiteral("frmNavigate");

    // Whether the window takes input. Disabling it leaves the consultation dialogs usable.
    virtual bool Enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;

    // Brings the window to the front and gives it the keyboard focus.
    virtual void SetFocus() = 0;

    // The window's diagram control.
    virtual ctlPelnet& ctlPelnet1() = 0;

    // The widget the consultation dialogs are made children of.
    virtual QWidget& widget() = 0;
};

// The program's main window, which a consultation returns to when no preconditions dialog
// stands behind a step. Raises ObjectNotSet (91) while none is registered.
AbstractMainWindow& mainWindow();

// Registers the main window for the registration's lifetime (the window holds one while
// it exists). While two are registered, the newer one is the main window.
class MainWindowRegistration {
public:
    explicit MainWindowRegistration(AbstractMainWindow& window);
    ~MainWindowRegistration();
    MainWindowRegistration(const MainWindowRegistration&) = delete;
    MainWindowRegistration& operator=(const MainWindowRegistration&) = delete;

private:
    AbstractMainWindow& m_window;
};

} // namespace kelvane
