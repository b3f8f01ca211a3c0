#include "model/xml/basKelvaneXML.h"

#include "platform/Conversions.h"
#include "platform/RuntimeError.h"

#include <algorithm>

namespace basKelvaneXML {

QString DecimalXML(double value)
{
    return kelvane::conv::generalNumberText(value);
}

double ReadDecimalXML(QStringView text)
{
    try {
        return kelvane::conv::leadingNumber(text);
    } catch (const kelvane::RuntimeError&) {
        return 0.0; // a number too large for a double
    }
}

qint16 ReadIntegerXML(QStringView text)
{
    return kelvane::conv::toInt16(kelvane::conv::toDouble(text));
}

qint32 ReadLongXML(QStringView text)
{
    return kelvane::conv::toInt32(kelvane::conv::toDouble(text));
}

bool ReadBooleanXML(QStringView text)
{
    return kelvane::conv::toBoolean(text);
}

QString BooleanXML(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString BooleanWordXML(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

qint32 ColourValue(const clsColour& colour)
{
    const auto part = [](qint16 value) { return static_cast<qint32>(std::clamp<qint16>(value, 0, 255)); };
    return part(colour.Red) + 256 * part(colour.Green) + 65536 * part(colour.Blue);
}

} // namespace basKelvaneXML
