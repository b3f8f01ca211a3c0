#include "shell/StatusBarControl.h"

#include "platform/gui/PlainText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>

namespace kelvane {

StatusBarControl::StatusBarControl(QWidget* parent) : QFrame(parent), m_styles(kPanelCount, kTextStyle)
{
    setObjectName(QStringLiteral("sbStatusBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    for (int i = 1; i <= kPanelCount; ++i) {
        auto* panel = new platform::gui::PlainLabel(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setContentsMargins(3, 0, 3, 0);
        // The first panel takes the room the others leave.
        layout->addWidget(panel, i == 1 ? 1 : 0);
        m_panels.push_back(panel);
    }
    m_panels.back()->setMinimumWidth(80);
    m_panels.back()->setAlignment(Qt::AlignCenter);
}

QLabel* StatusBarControl::Panel(int index) const
{
    if (index < 1 || index > kPanelCount)
        return nullptr;
    return m_panels[std::size_t(index - 1)];
}

int StatusBarControl::PanelStyle(int index) const
{
    return Panel(index) ? m_styles[std::size_t(index - 1)] : kTextStyle;
}

void StatusBarControl::setPanelStyle(int index, int style)
{
    if (Panel(index))
        m_styles[std::size_t(index - 1)] = style;
}

void StatusBarControl::ShowTime(const QTime& now)
{
    for (int i = 1; i <= kPanelCount; ++i) {
        if (PanelStyle(i) == kTimeStyle)
            Panel(i)->setText(timeText(now));
    }
}

QString StatusBarControl::timeText(const QTime& time)
{
    return QLocale().toString(time, QLocale::ShortFormat);
}

} // namespace kelvane
