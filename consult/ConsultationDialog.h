#pragma once

#include "model/ErrorTrap.h"

#include <QDialog>
#include <QPointer>
#include <QScopedValueRollback>
#include <QStyle>
#include <memory>

class QGroupBox;
class QPushButton;

namespace kelvane {

class AbstractMainWindow;
class Node;
class ctlPelnet;
class frmPreconditions;

// What the preconditions, question and answer dialogs share. A consultation makes a dialog
// for one node, sets the four references below and calls Show; the dialog's load builds it
// and shows it modeless. Its buttons go on with the consultation and unload it. A dialog is
// a child window of the main window and stays usable while the main window is disabled.
//
// Handlers run under the dialog's error trap (the dialog's module name) and busy guard: input
// that arrives while one of the dialog's handlers runs (the host yields inside them), or after
// the dialog was unloaded, is ignored. A handler that fails leaves the main window enabled
// when no consultation dialog is left to go on with.
class ConsultationDialog : public QDialog {
    Q_OBJECT

public:
    // The node the dialog is about.
    std::shared_ptr<Node> node;
    // The main window, the diagram control that shows the node's network, and the
    // preconditions dialog that leads back to its list (or none).
    AbstractMainWindow* ParentForm = nullptr;
    QPointer<ctlPelnet> ParentDisplay;
    QPointer<frmPreconditions> ParentPrecondition;

    // The first call loads the dialog (its load shows it); later calls show it again.
    // Nothing once the dialog is unloaded.
    void Show();
    // Runs the dialog's unload (once), hides it and deletes it once control is back in
    // the event loop, so the handler that unloads it may go on using it.
    void Unload();
    bool isUnloaded() const { return m_unloaded; }

    // The dialog's outer height in twips: its client area and the 420 twips of title bar
    // and borders that the designed heights include.
    double Height() const;
    void setHeight(double twips);

    // Places a control of a dialog; positions and sizes in twips.
    static void place(QWidget& control, double left, double top, double width, double height);
    // A new control of a dialog, named and placed (the parent owns it).
    template <class Control>
    static Control* control(QWidget* parent, const char* name, double left, double top, double width, double height)
    {
        auto* made = new Control(parent);
        made->setObjectName(QString::fromLatin1(name));
        place(*made, left, top, width, height);
        return made;
    }
    // A button of a dialog, placed; Enter does not press it.
    static QPushButton* commandButton(QWidget* parent, const char* name, double left, double top, double width,
                                      double height);
    // The small picture at the left of a frame.
    static void frameIcon(QGroupBox& frame, QStyle::StandardPixmap picture);

    // The consultation dialogs still loaded among the main window's children.
    static QList<ConsultationDialog*> loadedDialogs(QWidget& mainWindow);

protected:
    // The dialog's module name is also its object name; its designed client area in twips.
    ConsultationDialog(QWidget* parent, const char* moduleName, int helpTopic, double clientWidth, double clientHeight);

    // The caption: the node's name on one line (carriage returns as blanks) and `suffix`, shown
    // as written.
    void showNodeCaption(const QString& suffix = {});

    virtual void Form_Load() = 0;
    virtual void Form_Unload() {}
    // What the window's close box does: the dialog's own way out.
    virtual void closeBox() = 0;

    // Runs a procedure the consultation calls on the dialog under the dialog's error trap;
    // false when it failed.
    template <class Body>
    bool run(const char* procedure, Body&& body)
    {
        if (trappedVoid(m_moduleName, procedure, std::forward<Body>(body)))
            return true;
        afterFailure();
        return false;
    }
    // Runs a handler of the user's input (see above); false when it failed.
    template <class Body>
    bool handleInput(const char* procedure, Body&& body)
    {
        if (m_busy || m_unloaded)
            return true;
        const QScopedValueRollback busy(m_busy, true);
        return run(procedure, std::forward<Body>(body));
    }

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Escape does not close a consultation dialog.
    void reject() override {}

private:
    void afterFailure();

    const char* m_moduleName;
    bool m_loaded = false;
    bool m_unloaded = false;
    bool m_busy = false;
};

} // namespace kelvane
