#pragma once

#include "answercontrols/PropertyBag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <optional>
#include <utility>
#include <vector>

namespace kelvane::test {

// A container's saved properties in memory, in the order they were written.
class MemoryPropertyBag : public PropertyBag {
public:
    std::vector<std::pair<QString, Variant>> entries;

    void put(const QString& name, const Variant& value) { save(name, value); }
    bool has(const QString& name) const { return saved(name).has_value(); }

protected:
    std::optional<Variant> saved(const QString& name) const override
    {
        for (const auto& [key, value] : entries)
            if (key == name)
                return value;
        return std::nullopt;
    }
    void save(const QString& name, const Variant& value) override
    {
        for (auto& [key, stored] : entries)
            if (key == name) {
                stored = value;
                return;
            }
        entries.emplace_back(name, value);
    }
};

// Shows a control at a size in pixels on the offscreen screen and waits until it is.
inline void showAt(QWidget& control, int width, int height)
{
    control.resize(width, height);
    control.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&control));
}

// Sends one mouse event straight to a widget, with the buttons held after it.
inline void sendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

} // namespace kelvane::test
