#pragma once

#include "model/FontProperties.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>

namespace kelvane::automation {

// The font of a text label as automation callers and macro code see it.
class FontPropertiesObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE setName)
    Q_PROPERTY(qint16 Size READ Size WRITE setSize)
    Q_PROPERTY(bool Bold READ Bold WRITE setBold)
    Q_PROPERTY(bool Italic READ Italic WRITE setItalic)
    Q_PROPERTY(bool Underline READ Underline WRITE setUnderline)
    Q_PROPERTY(bool Strikethru READ Strikethru WRITE setStrikethru)

public:
    using Model = kelvane::FontProperties;
    static constexpr const char* kClassName = "FontProperties";

    explicit FontPropertiesObject(std::shared_ptr<kelvane::FontProperties> font) : m_font(std::move(font)) {}
    std::shared_ptr<kelvane::FontProperties> model() const { return m_font; }

    QString Name() const { return m_font->Name; }
    void setName(const QString& value) { m_font->Name = value; }
    qint16 Size() const { return m_font->Size; }
    void setSize(qint16 value) { m_font->Size = value; }
    bool Bold() const { return m_font->Bold; }
    void setBold(bool value) { m_font->Bold = value; }
    bool Italic() const { return m_font->Italic; }
    void setItalic(bool value) { m_font->Italic = value; }
    bool Underline() const { return m_font->Underline; }
    void setUnderline(bool value) { m_font->Underline = value; }
    bool Strikethru() const { return m_font->Strikethru; }
    void setStrikethru(bool value) { m_font->Strikethru = value; }

    Q_INVOKABLE platform::automation::DispatchObject Clone() const;

private:
    std::shared_ptr<kelvane::FontProperties> m_font;
};

} // namespace kelvane::automation
