#pragma once

#include "DiagramTestSupport.h"

#include "diagram/NetworkCanvas.h"
#include "model/Layer.h"
#include "network/NetworkGrid.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace kelvane::test {

// Chooses `action` in the next popup menu that opens while it lives (as a user would, with
// the menu's own activation) and records whether one opened; a menu that stays open is
// closed, so a gesture never hangs.
class PopupChoice {
public:
    explicit PopupChoice(QAction* action)
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this, action] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            m_timer.stop();
            opened = menu;
            menu->setActiveAction(action);
            QTest::keyClick(menu, Qt::Key_Return);
            if (menu->isVisible())
                menu->close();
        });
        m_timer.start();
    }

    QMenu* opened = nullptr;

private:
    QTimer m_timer;
};

// A diagram with real mouse gestures on its canvas, at points given in twips.
class PointerTest : public DiagramTest {
protected:
    PointerTest() { basLibrary::DebugMode = true; }
    ~PointerTest() override { basLibrary::DebugMode = false; }

    static QPoint pixels(QPointF twips) { return QPoint(qRound(twips.x() / 15.0), qRound(twips.y() / 15.0)); }

    // The centre of a node of the shown network, in twips.
    QPointF centreOf(const std::shared_ptr<Node>& node)
    {
        auto* canvas = control->picnetwork();
        const auto layer = node->Layer.lock();
        const NetworkGrid grid(canvas->ScaleWidth(), canvas->ScaleHeight(), control->ActiveNetwork()->Layers().Count());
        return grid.cell(layer->Index, layer->Nodes().Count(), node->Index()).centre;
    }

    void press(QPointF at, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {})
    {
        QTest::mousePress(control->picnetwork(), button, keys, pixels(at));
    }
    void move(QPointF at) { QTest::mouseMove(control->picnetwork(), pixels(at)); }
    void release(QPointF at, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {})
    {
        QTest::mouseRelease(control->picnetwork(), button, keys, pixels(at));
    }
    void click(QPointF at, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {})
    {
        press(at, button, keys);
        release(at, button, keys);
    }
    void click(const std::shared_ptr<Node>& node, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {})
    {
        click(centreOf(node), button, keys);
    }
    void drag(QPointF from, QPointF to)
    {
        press(from);
        move((from + to) / 2.0);
        move(to);
        release(to);
    }

    // A right press at the point that must open `menu`, choosing `action` in it (the
    // release then goes to the menu, not to the canvas).
    void choose(QPointF at, QMenu* menu, QAction* action)
    {
        PopupChoice choice(action);
        press(at, Qt::RightButton);
        ASSERT_EQ(choice.opened, menu) << "the expected popup menu did not open";
    }
    void choose(const std::shared_ptr<Node>& node, QAction* action) { choose(centreOf(node), control->mnuNode(), action); }

    qsizetype snapshots() const { return sharedClipboard()->Actions.Count(); }

    // Every error the common reporter was handed while reports are shown.
    QStringList reportedErrors() const
    {
        QStringList reports;
        for (const auto& box : ui->messageBoxes) {
            if (box.text.startsWith(QStringLiteral("Error in routine")))
                reports << box.text;
        }
        return reports;
    }
};

} // namespace kelvane::test
