#pragma once

#include <QString>

// The names under which the program offers its automation objects on the session bus.
namespace kelvane::dbusnames {

inline const QString kService = QStringLiteral("org.kelvane.Kelvane");
inline const QString kKnowledgeBasePath = QStringLiteral("/KnowledgeBase");
inline const QString kApplicationPath = QStringLiteral("/Application");
inline const QString kEditorPath = QStringLiteral("/Application/VBE");
// Where a client creates objects of the program's classes, and below which the objects made for
// a client live.
inline const QString kObjectsPath = QStringLiteral("/Objects");
inline const QString kKnowledgeBaseInterface = QStringLiteral("org.kelvane.Kelvane.KnowledgeBase");
inline const QString kApplicationInterface = QStringLiteral("org.kelvane.Kelvane.Application");
inline const QString kEditorInterface = QStringLiteral("org.kelvane.Kelvane.VBE");
inline const QString kObjectsInterface = QStringLiteral("org.kelvane.Kelvane.Objects");
// What a client's event sink implements: one method per event that carries a Cancel, taking the
// event's arguments and answering the Cancel it leaves.
inline const QString kEventSinkInterface = QStringLiteral("org.kelvane.Kelvane.KnowledgeBaseEvents");
// The error a call answers when it failed; its message says why (the text the program would
// have shown).
inline const QString kFailedError = QStringLiteral("org.kelvane.Kelvane.Error.Failed");

} // namespace kelvane::dbusnames
