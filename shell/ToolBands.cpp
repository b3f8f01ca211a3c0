#include "shell/ToolBands.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace kelvane {

const QString ToolBands::File = QStringLiteral("&File");
const QString ToolBands::Tools = QStringLiteral("&Tools");
const QString ToolBands::View = QStringLiteral("&View");
const QString ToolBands::Reports = QStringLiteral("&Reports");
const QString ToolBands::Help = QStringLiteral("&Help");

ToolBands::ToolBands(QMainWindow& window) : QObject(&window), m_window(window)
{
    m_menuBar = new QMenuBar(&window);
    m_menuBar->setObjectName(QStringLiteral("MenuBar"));
    window.setMenuBar(m_menuBar);
    m_toolBar = new QToolBar(QStringLiteral("ToolBar"), &window);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->toggleViewAction()->setVisible(false); // the View menu's own tool shows and hides it
    window.addToolBar(m_toolBar);
    window.setContextMenuPolicy(Qt::NoContextMenu);

    for (const QString& id : {File, Tools, View, Reports, Help})
        makeMenu(id, id);
}

QMenu* ToolBands::makeMenu(const QString& id, const QString& caption)
{
    auto* menu = new QMenu(caption, m_menuBar);
    menu->setObjectName(id);
    QAction* tool = menu->menuAction();
    tool->setObjectName(id);
    tool->setVisible(false); // until its entries are built
    m_menuBar->addMenu(menu);
    m_menus[id] = menu;
    m_tools[id] = tool;
    connect(menu, &QMenu::aboutToShow, this, [this, tool] { Q_EMIT ToolClick(tool); });
    return menu;
}

QAction* ToolBands::AddTool(const QString& id, const QString& caption)
{
    if (QAction* existing = Tool(id))
        return existing;
    auto* tool = new QAction(caption.isEmpty() ? id : caption, &m_window);
    tool->setObjectName(id);
    connect(tool, &QAction::triggered, this, [this, tool] { Q_EMIT ToolClick(tool); });
    m_tools[id] = tool;
    return tool;
}

QAction* ToolBands::Tool(const QString& id) const
{
    const auto it = m_tools.find(id);
    return it == m_tools.end() ? nullptr : it->second.data();
}

void ToolBands::RemoveTool(const QString& id)
{
    const auto it = m_tools.find(id);
    if (it == m_tools.end() || Menu(id))
        return; // the menu tools stay, so that the menus keep their places
    delete it->second.data();
    m_tools.erase(it);
}

QMenu* ToolBands::Menu(const QString& id) const
{
    const auto it = m_menus.find(id);
    return it == m_menus.end() ? nullptr : it->second.data();
}

void ToolBands::ClearMenu(const QString& id)
{
    QMenu* menu = Menu(id);
    if (!menu)
        return;
    for (QAction* entry : menu->actions()) {
        menu->removeAction(entry);
        if (entry->isSeparator()) {
            if (entry->parent() == menu)
                delete entry;
            continue;
        }
        const bool elsewhere = !entry->associatedObjects().isEmpty();
        if (!elsewhere)
            RemoveTool(entry->objectName());
    }
    menu->menuAction()->setVisible(false);
}

} // namespace kelvane
