#pragma once

#include "automation/ObjectModel.h"
#include "platform/Collection.h"
#include "platform/Variant.h"

#include <QObject>

namespace kelvane::automation {

// The ordered collection of automation values that macro code creates with `new Collection()`
// and that the object model hands out: items reached by a 1-based position or by a key
// compared without regard to case. The model's collections are handed out as collections of
// views made when they are read, so adding to one does not change the model.
class CollectionObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint32 Count READ Count)

public:
    static constexpr const char* kClassName = "Collection";

    qint32 Count() const { return static_cast<qint32>(m_items.Count()); }

    // A number is a position, a text a key. SubscriptOutOfRange (9) or InvalidProcedureCall (5)
    // for none.
    Q_INVOKABLE kelvane::Variant Item(const kelvane::Variant& Index) const;
    // Before and After (a position or a key) place the item; neither appends it.
    Q_INVOKABLE void Add(const kelvane::Variant& Item, const kelvane::Variant& Key = {}, const kelvane::Variant& Before = {},
                         const kelvane::Variant& After = {});
    Q_INVOKABLE void Remove(const kelvane::Variant& Index);

    const kelvane::Collection<kelvane::Variant>& items() const { return m_items; }

    // A collection of views of the model's objects, keys kept.
    template <class View, class Model>
    static DispatchObject of(const kelvane::Collection<std::shared_ptr<Model>>& models)
    {
        auto collection = std::make_shared<CollectionObject>();
        for (qsizetype i = 1; i <= models.Count(); ++i)
            collection->m_items.Add(viewOf<View>(models.Item(i)).toVariant(), models.KeyAt(i));
        return dispatchOf(std::move(collection));
    }
    template <class View, class Model>
    static DispatchObject of(const kelvane::Collection<std::weak_ptr<Model>>& models)
    {
        auto collection = std::make_shared<CollectionObject>();
        for (qsizetype i = 1; i <= models.Count(); ++i) {
            if (auto model = models.Item(i).lock())
                collection->m_items.Add(viewOf<View>(std::move(model)).toVariant(), models.KeyAt(i));
        }
        return dispatchOf(std::move(collection));
    }

    // The model objects behind the views a collection holds, keys kept; an item that is no
    // such view raises TypeMismatch (13).
    template <class View>
    static kelvane::Collection<std::shared_ptr<typename View::Model>> modelsOf(const DispatchObject& object)
    {
        kelvane::Collection<std::shared_ptr<typename View::Model>> models;
        const auto* collection = qobject_cast<const CollectionObject*>(object.object());
        if (!collection) {
            if (!object.isNothing())
                raiseError(err::TypeMismatch);
            return models;
        }
        for (qsizetype i = 1; i <= collection->m_items.Count(); ++i)
            models.Add(requireModelOf<View>(collection->m_items.Item(i)), collection->m_items.KeyAt(i));
        return models;
    }

private:
    qsizetype positionOf(const kelvane::Variant& index) const;

    kelvane::Collection<kelvane::Variant> m_items;
};

} // namespace kelvane::automation
