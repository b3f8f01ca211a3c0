#pragma once

#include "model/TextLabel.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>

namespace kelvane::automation {

// A text label (with its font, colour and links) as automation callers and macro code see it.
class TextLabelObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString HTML READ HTML WRITE setHTML)
    Q_PROPERTY(qint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(platform::automation::DispatchObject Font READ Font WRITE setFont)
    Q_PROPERTY(platform::automation::DispatchObject URIs READ URIs)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(QString RTF READ RTF)

public:
    using Model = kelvane::TextLabel;
    static constexpr const char* kClassName = "TextLabel";

    explicit TextLabelObject(std::shared_ptr<kelvane::TextLabel> label) : m_label(std::move(label)) {}
    std::shared_ptr<kelvane::TextLabel> model() const { return m_label; }

    QString HTML() const { return m_label->HTML; }
    void setHTML(const QString& value) { m_label->HTML = value; }
    qint32 ForeColor() const { return m_label->ForeColor; }
    void setForeColor(qint32 value) { m_label->ForeColor = value; }
    platform::automation::DispatchObject Font() const;
    void setFont(const platform::automation::DispatchObject& font);
    platform::automation::DispatchObject URIs() const;
    QString Text() const { return m_label->Text(); }
    void setText(const QString& value) { m_label->setText(value); }
    QString RTF() const { return m_label->RTF(); }

    Q_INVOKABLE platform::automation::DispatchObject Clone() const;

private:
    std::shared_ptr<kelvane::TextLabel> m_label;
};

} // namespace kelvane::automation
