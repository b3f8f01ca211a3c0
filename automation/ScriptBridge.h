#pragma once

#include "platform/Variant.h"
#include "platform/automation/DispatchObject.h"

#include <QJSValue>

class QJSEngine;

namespace kelvane {

class RuntimeError;

// Carries automation values into and out of a script engine. An automation object appears in
// the script as a proxy that reaches its members by name, as late-bound callers do: a property
// reads and writes as a plain property (`KnowledgeBase.KBName = "Cars"`), a method or an indexed
// property is a function (`Pages.Item(1)`, `OpenFile(name)`), the object itself called runs its
// default member (`coll(1)`), and a collection can be walked with `for ... of`. A failing member
// throws a script error with the error's number and text.
class ScriptBridge {
public:
    explicit ScriptBridge(QJSEngine& engine);

    QJSEngine& engine() const { return m_engine; }

    // Empty is undefined; numbers, Booleans and texts are themselves; objects are proxies.
    QJSValue toScript(const kelvane::Variant& value);
    // undefined and null are Empty; a whole number that fits is a Long, another a Double; a proxy
    // is its object. Anything else (script objects, arrays, functions) raises TypeMismatch (13).
    kelvane::Variant fromScript(const QJSValue& value) const;

    QJSValue proxyOf(const platform::automation::DispatchObject& object);
    // A proxy that does not keep its object alive; using it once the object is gone raises
    // ObjectNotSet (91).
    QJSValue proxyOf(const platform::automation::WeakDispatchObject& object);

    // Makes the engine throw the error when control returns to the script.
    void throwError(const RuntimeError& error);

private:
    QJSEngine& m_engine;
    QJSValue m_makeProxy;
};

} // namespace kelvane
