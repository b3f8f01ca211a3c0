#pragma once

#include "model/Layer.h"
#include "model/Node.h"
#include "model/RequireObject.h"
#include "platform/HostPath.h"
#include "platform/UiServices.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <memory>

// Small helpers shared by the source files of the network class.
namespace kelvane::networksupport {

// The module name the network's operations report their failures under.
inline constexpr const char* kModule = "clsNetwork";

// The index of the layer that holds the node; ObjectNotSet for a node outside any layer.
inline qint32 layerIndexOf(const Node& node)
{
    return requireObject(node.Layer.lock())->Index;
}

// The 1-based position of the node itself in the layer; SubscriptOutOfRange when it is not there.
inline qsizetype positionInLayer(const Layer& layer, const Node& node)
{
    qsizetype position = 0;
    for (const auto& held : layer.Nodes()) {
        ++position;
        if (held.get() == &node)
            return position;
    }
    raiseError(err::SubscriptOutOfRange);
}

// Removes every entry of `node`'s Parents that is `parent`.
inline void removeParentEntries(Node& node, const Node& parent)
{
    auto& parents = node.Parents();
    for (qsizetype position = parents.Count(); position >= 1; --position) {
        if (parents.Item(position).lock().get() == &parent)
            parents.Remove(position);
    }
}

// A file nobody may write counts as read-only even for a user who could override that.
inline bool isReadOnlyFile(const QString& hostFileName)
{
    const QFileInfo info(hostFileName);
    const auto writeBits = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.isFile() && (!info.isWritable() || !(info.permissions() & writeBits));
}

// A document whose file is read-only is not written: the user is told so, with the
// exclamation icon, and the caller returns false.
inline bool refusedAsReadOnly(const QString& fileName)
{
    if (!isReadOnlyFile(platform::hostPath(fileName)))
        return false;
    platform::ui().messageBox(fileName + QStringLiteral(" is read only"), platform::msgbox::Exclamation,
                              platform::applicationTitle());
    return true;
}

// The closing root tag that ends every knowledge-base document.
inline const QString kDocumentEndTag = QStringLiteral("</kelvanedocument>");

// XML text handed to the network reader must hold a network element, and a whole document
// (one that starts with its XML prolog) must end with its closing root tag: otherwise the text
// is not a knowledge base or was cut short, and InvalidFileFormat is raised.
inline void requireNetworkDocument(const QString& text)
{
    if (text.startsWith(QStringLiteral("<?xml"), Qt::CaseInsensitive) && !text.contains(kDocumentEndTag))
        raiseError(err::InvalidFileFormat, QStringLiteral("The document is cut short: it lacks its closing tag."));
    const QString startTag = QStringLiteral("<network");
    qsizetype start = text.indexOf(startTag);
    const auto isStartTag = [&](qsizetype at) {
        const qsizetype after = at + startTag.size();
        return after < text.size() && (text[after] == u'>' || text[after] == u' ');
    };
    while (start >= 0 && !isStartTag(start))
        start = text.indexOf(startTag, start + 1);
    if (start < 0 || text.indexOf(QStringLiteral("</network>"), start) < 0)
        raiseError(err::InvalidFileFormat, QStringLiteral("The text holds no network element."));
}

} // namespace kelvane::networksupport
