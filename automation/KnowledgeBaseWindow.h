#pragma once

#include <QRect>
#include <QString>

class QWidget;

namespace kelvane {

class AbstractProgressBar;
class ctlPelnet;

// The main window as the knowledge base and the macro host reach it.
class KnowledgeBaseWindow {
public:
    virtual ~KnowledgeBaseWindow() = default;

    virtual ctlPelnet& ctlPelnet1() = 0;
    virtual AbstractProgressBar* ProgressBar1() = 0;
    // The window, as the parent of the macro editor and the owner of its keyboard shortcut.
    virtual QWidget& widget() = 0;

    // The text of the status bar's first panel.
    virtual QString StatusText() = 0;
    virtual void setStatusText(const QString& text) = 0;

    // Shows the window at the place given in twips, or hides it.
    virtual void showAt(const QRect& twips) = 0;
    virtual void hide() = 0;

    // Rebuilds the Tools menu or the Reports menu from the knowledge base's menu items.
    virtual void PopulateToolsMenu() = 0;
    virtual void PopulateReportsMenu() = 0;

    // Closes the window, which runs the program's shutdown: the Unload event, the question
    // about changed documents, the settings saved. A veto keeps the window open.
    virtual void Unload() = 0;
    // The window's load is under way (a close asked for meanwhile is not done).
    virtual bool loading() const { return false; }
    // The window was unloaded: the program has ended.
    virtual bool unloaded() const { return false; }

    // The program's save of the open document, under its own name or under `fileName` (which
    // becomes its name); true when it was written.
    virtual bool SaveDocument() = 0;
    virtual bool SaveDocumentAs(const QString& fileName) = 0;
};

} // namespace kelvane
