#pragma once

#include "platform/Variant.h"

#include <QMetaMethod>
#include <QMetaType>
#include <QVariant>

namespace platform::automation {

// Conversions between automation values and the Qt types that carry them on QObjects:
// bool, qint16, qint32, float, double, QString, kelvane::Variant and DispatchObject.

// True when values of the type can cross (void too, as a result).
bool canCross(QMetaType type);

// The type of a parameter, also for a non-const reference (which Qt leaves without one).
QMetaType parameterType(const QMetaMethod& method, int index);
// True for a non-const reference parameter: the callee's changes go back to the caller.
bool isByReference(const QMetaMethod& method, int index);

// The value as the Qt type, converted as the old runtime converted arguments: whole numbers
// round half to even and raise Overflow (6) when they do not fit, texts that are no number
// raise TypeMismatch (13), objects cross only as DispatchObject or Variant.
QVariant toQt(const kelvane::Variant& value, QMetaType type);

// The automation value of a Qt value; an invalid QVariant (a void result) is Empty.
kelvane::Variant fromQt(const QVariant& value);

} // namespace platform::automation
