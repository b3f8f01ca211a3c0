#include "automation/CollectionObject.h"

#include "platform/Conversions.h"

namespace kelvane::automation {

qsizetype CollectionObject::positionOf(const Variant& index) const
{
    if (index.type() == Variant::Type::String) {
        const qsizetype position = m_items.PositionOf(index.toString());
        if (position == 0)
            raiseError(err::InvalidProcedureCall);
        return position;
    }
    const qsizetype position = conv::toInt32(index.toDouble());
    if (position < 1 || position > m_items.Count())
        raiseError(err::SubscriptOutOfRange);
    return position;
}

Variant CollectionObject::Item(const Variant& Index) const
{
    return m_items.Item(positionOf(Index));
}

void CollectionObject::Add(const Variant& Item, const Variant& Key, const Variant& Before, const Variant& After)
{
    const QString key = Key.isEmpty() ? QString() : Key.toString();
    if (!Before.isEmpty() && !After.isEmpty())
        raiseError(err::InvalidProcedureCall);
    if (!Before.isEmpty())
        m_items.AddBefore(positionOf(Before), Item, key);
    else if (!After.isEmpty())
        m_items.AddBefore(positionOf(After) + 1, Item, key);
    else
        m_items.Add(Item, key);
}

void CollectionObject::Remove(const Variant& Index)
{
    m_items.Remove(positionOf(Index));
}

} // namespace kelvane::automation
