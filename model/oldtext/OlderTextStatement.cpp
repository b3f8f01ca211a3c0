#include "model/oldtext/OlderTextStatement.h"

#include "model/FontProperties.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "platform/Conversions.h"
#include "platform/Variant.h"

namespace kelvane {

OlderTextStatement::OlderTextStatement(const QString& text)
    : m_text(text), m_key(basLibrary::KeyOfPair(text)), m_upperKey(m_key.toUpper()),
      m_quotedValue(basLibrary::ValueOfPair(text)), m_value(QString(m_quotedValue).remove(u'"'))
{
}

QStringList OlderTextStatement::split(const QString& block)
{
    return basLibrary::SplitDoubleQuoted(block, u';', true);
}

bool OlderTextStatement::is(QStringView name) const
{
    return m_upperKey == name.toString().toUpper();
}

bool OlderTextStatement::mentions(QStringView fragment) const
{
    return m_upperKey.contains(fragment.toString().toUpper());
}

qint16 OlderTextStatement::familyNumber(qsizetype prefixLength) const
{
    const qsizetype end = m_upperKey.indexOf(u'_', prefixLength);
    if (end < 0)
        raiseError(err::InvalidProcedureCall, QStringLiteral("The key %1 lacks the \"_\" after its number.").arg(m_key));
    return toInteger(m_upperKey.mid(prefixLength, end - prefixLength));
}

bool OlderTextStatement::setsLabelFormat(const QString& prefix, const QString& fontNameKey,
                                         const std::function<std::shared_ptr<TextLabel>()>& labelOf) const
{
    const auto font = [&] { return labelOf()->Font(); };
    if (is(fontNameKey))
        font()->Name = m_value;
    else if (is(prefix + QStringLiteral("_Font_Size")))
        font()->Size = toInteger(m_value);
    else if (is(prefix + QStringLiteral("_Font_Bold")))
        font()->Bold = toBoolean(m_value);
    else if (is(prefix + QStringLiteral("_Font_Italic")))
        font()->Italic = toBoolean(m_value);
    else if (is(prefix + QStringLiteral("_Font_Underline")))
        font()->Underline = toBoolean(m_value);
    else if (is(prefix + QStringLiteral("_Font_Strikethru")))
        font()->Strikethru = toBoolean(m_value);
    else if (is(prefix + QStringLiteral("_Colour")))
        labelOf()->ForeColor = toLong(m_value);
    else
        return false;
    return true;
}

qint16 OlderTextStatement::toInteger(const QString& text)
{
    return conv::toInt16(conv::toDouble(text));
}

qint32 OlderTextStatement::toLong(const QString& text)
{
    return conv::toInt32(conv::toDouble(text));
}

bool OlderTextStatement::toBoolean(const QString& text)
{
    return Variant(text).toBool();
}

double OlderTextStatement::scanNumber(const QString& text)
{
    return conv::leadingNumber(text);
}

QString OlderTextStatement::withLineBreaks(const QString& text)
{
    return basLibrary::ReplaceAll(text, QStringLiteral("<<VBCR>>"), QStringLiteral("\r"));
}

QString OlderTextStatement::pathBeside(const QString& documentFile, const QString& value)
{
    if (value.isEmpty() || value.contains(u':'))
        return value;
    return basLibrary::AbsolutePath(basLibrary::FolderOfPath(documentFile), value);
}

} // namespace kelvane
