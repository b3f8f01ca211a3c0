#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <map>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;

namespace kelvane {

// The main window's tool bands: the button band ("ToolBar") and the menu bar ("MenuBar") with
// the menus File, Tools, View, Reports and Help, always in that order (Tools and Reports show
// only while they hold entries). Every tool is a QAction known by its id (also its object name);
// its caption is its text and may change, as the recently-used and About tools' captions do.
// One tool may stand on the button band and in a menu at once. A click on any tool, and the
// opening of a menu (its menu tool), is announced by ToolClick.
class ToolBands : public QObject {
    Q_OBJECT

public:
    // The ids of the five menu tools.
    static const QString File;
    static const QString Tools;
    static const QString View;
    static const QString Reports;
    static const QString Help;

    explicit ToolBands(QMainWindow& window);

    QToolBar* ToolBar() const { return m_toolBar; }
    QMenuBar* MenuBar() const { return m_menuBar; }

    // The tool with that id, made with `caption` (the id when none is given) on first use; an
    // existing tool is handed back unchanged.
    QAction* AddTool(const QString& id, const QString& caption = {});
    // The tool with that id; null when there is none.
    QAction* Tool(const QString& id) const;
    // Forgets the tool and takes it off every band and menu.
    void RemoveTool(const QString& id);

    // The drop-down menu of a menu tool; null for another id.
    QMenu* Menu(const QString& id) const;
    // Empties a menu (its tools are forgotten, separators go) and hides its menu tool.
    void ClearMenu(const QString& id);

Q_SIGNALS:
    void ToolClick(QAction* tool);

private:
    QMenu* makeMenu(const QString& id, const QString& caption);

    QMainWindow& m_window;
    QToolBar* m_toolBar = nullptr; // owned by the window
    QMenuBar* m_menuBar = nullptr; // owned by the window
    std::map<QString, QPointer<QAction>> m_tools;
    std::map<QString, QPointer<QMenu>> m_menus;
};

} // namespace kelvane
