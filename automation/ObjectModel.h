#pragma once

#include "platform/Collection.h"
#include "platform/automation/DispatchObject.h"

#include <QMetaObject>
#include <memory>

// How the program's objects reach automation callers. Every class of the object model is a
// QObject (see KelvaneTypeLibrary.h for its members) whose dispatch table is bound once. The
// model's own objects (nodes, links, layers, ...) are handed out through thin views: a view
// holds the model object and reads and writes it on every call, so two views of one node
// show the same node.
namespace kelvane::automation {

using platform::automation::DispatchObject;

// The dispatch table of the class `className`, carried by the Qt class `meta`; built at the
// first call and shared afterwards.
std::shared_ptr<const platform::automation::DispatchTable> tableOf(const QMetaObject& meta, const QString& className);

// A view class names its automation class (kClassName) and, for the model's classes, the model
// type it shows (Model) with a constructor taking it and model() giving it back.
template <class View>
std::shared_ptr<const platform::automation::DispatchTable> tableOf()
{
    static const auto table = tableOf(View::staticMetaObject, QString::fromLatin1(View::kClassName));
    return table;
}

template <class View>
DispatchObject dispatchOf(std::shared_ptr<View> object)
{
    if (!object)
        return {};
    return DispatchObject(std::move(object), tableOf<View>());
}

// A new object of the class, as `new` in macro code makes it.
template <class View>
DispatchObject createObject()
{
    return dispatchOf(std::make_shared<View>());
}

// A view of a model object; Nothing for none.
template <class View, class Model>
DispatchObject viewOf(std::shared_ptr<Model> model)
{
    if (!model)
        return {};
    return dispatchOf(std::make_shared<View>(std::move(model)));
}

// The model object behind a view; null for Nothing or an object of another class.
template <class View>
std::shared_ptr<typename View::Model> modelOf(const DispatchObject& object)
{
    const auto* view = qobject_cast<const View*>(object.object());
    return view ? view->model() : nullptr;
}

// The same for a value; raises TypeMismatch (13) for a value that is no such object (Nothing
// gives null).
template <class View>
std::shared_ptr<typename View::Model> requireModelOf(const kelvane::Variant& value)
{
    const DispatchObject object = DispatchObject::fromVariant(value);
    if (object.isNothing())
        return nullptr;
    auto model = modelOf<View>(object);
    if (!model)
        raiseError(err::TypeMismatch);
    return model;
}

// The automation object held by a value, when it is one of class View; null otherwise.
template <class View>
View* objectIn(const kelvane::Variant& value)
{
    const auto held = value.object<DispatchObject>();
    return held ? qobject_cast<View*>(held->object()) : nullptr;
}

} // namespace kelvane::automation
