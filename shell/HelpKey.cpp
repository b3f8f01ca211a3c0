#include "shell/HelpKey.h"

#include "platform/gui/PlainText.h"
#include "shell/DesktopPages.h"

#include <QKeyEvent>
#include <QWidget>

namespace kelvane {

HelpKey::HelpKey(QObject* parent) : QObject(parent) {}

int HelpKey::ContextOf(const QWidget& widget)
{
    for (const QWidget* place = &widget; place; place = place->isWindow() ? nullptr : place->parentWidget()) {
        if (const int context = place->property("HelpContextID").toInt(); context > 0)
            return context;
    }
    return 0;
}

void HelpKey::ShowHelpFor(const QWidget& widget)
{
    desktoppages::ShowHelpTopic(ContextOf(widget), platform::gui::plainWindowTitle(*widget.window()));
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            ShowHelpFor(*static_cast<QWidget*>(watched));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kelvane
