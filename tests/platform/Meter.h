#pragma once

#include "platform/automation/AutomationError.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>
#include <QStringList>

namespace kelvane::test {

// A small automation class for the dispatch tests: plain, read-only, write-only and indexed
// properties, methods with by-reference parameters, objects and Variants, errors and events.
// Every property write is logged, in order.
class Meter : public QObject {
    Q_OBJECT
    Q_PROPERTY(double Reading READ Reading WRITE setReading)
    Q_PROPERTY(QString Unit READ Unit)
    Q_PROPERTY(qint16 Scale READ Scale WRITE setScale)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)

public:
    static platform::automation::TypeLibraryDescription typeLibrary();
    static std::shared_ptr<const platform::automation::DispatchTable> table();
    static platform::automation::DispatchObject make();

    double Reading() const { return m_reading; }
    void setReading(double reading) { m_reading = reading; writes.append(QStringLiteral("Reading")); }
    QString Unit() const { return QStringLiteral("bar"); }
    qint16 Scale() const { return m_scale; }
    void setScale(qint16 scale) { m_scale = scale; writes.append(QStringLiteral("Scale")); }
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; writes.append(QStringLiteral("Enabled")); }

    Q_INVOKABLE QString Mark(qint16 index) const { return m_marks.value(index); }
    Q_INVOKABLE void setMark(qint16 index, const QString& text);
    Q_INVOKABLE void setSecret(const QString& secret) { m_secret = secret; }
    // Reverses the text and doubles the factor, both in place.
    Q_INVOKABLE bool Swap(QString& text, float& factor);
    Q_INVOKABLE platform::automation::DispatchObject Child() const { return make(); }
    Q_INVOKABLE kelvane::Variant Echo(const kelvane::Variant& value) const { return value; }
    Q_INVOKABLE void Fail(qint32 number) const
    {
        platform::automation::raiseAutomationError(number, QStringLiteral("Meter failed."), QStringLiteral("Test.Meter"),
                                                   QStringLiteral("meter.chm"), 7);
    }

    QStringList writes;

Q_SIGNALS:
    void Changed(double Reading);
    void Confirm(QString& Text, bool& Cancel);

private:
    double m_reading = 0;
    qint16 m_scale = 1;
    bool m_enabled = true;
    QStringList m_marks;
    QString m_secret;
};

} // namespace kelvane::test
