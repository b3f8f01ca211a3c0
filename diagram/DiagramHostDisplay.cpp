#include "diagram/DiagramHostDisplay.h"

#include "diagram/ctlPelnet.h"
#include "network/clsNetwork.h"

#include <QImage>

namespace kelvane {

namespace {

QImage pictureOf(const PictureSource& source)
{
    if (!source.filePath.isEmpty())
        return QImage(source.filePath);
    return QImage::fromData(source.bytes);
}

} // namespace

bool DiagramHostDisplay::Loaded() const { return m_control.Loaded; }

bool DiagramHostDisplay::Connected() const { return m_control.Connected; }

std::shared_ptr<AbstractNetwork> DiagramHostDisplay::Network() const { return m_control.Network(); }

void DiagramHostDisplay::UpdateButtons() { m_control.UpdateButtons(); }

void DiagramHostDisplay::NetworkEdited() { m_control.forgetHitLayout(); }

void DiagramHostDisplay::setSplash(const PictureSource& picture) { m_control.setSplash(pictureOf(picture)); }

void DiagramHostDisplay::setBackground(const PictureSource& picture) { m_control.setBackground(pictureOf(picture)); }

void DiagramHostDisplay::ServerUpdate(const QString& guid, const QString& text, const QString& unused)
{
    m_control.ServerUpdate(guid, text, unused);
}

} // namespace kelvane
