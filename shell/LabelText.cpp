#include "shell/LabelText.h"

#include "model/FontProperties.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "platform/QtColour.h"
#include "platform/QtFont.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace kelvane::labeltext {

void CopyTextLabel(QLabel& label, TextLabel& text, const QString& prefix, bool withSize)
{
    label.setText(prefix + text.Text());
    const auto font = text.Font();
    platform::FontDescription wanted;
    wanted.name = font->Name;
    wanted.size = withSize ? double(font->Size) : label.font().pointSizeF();
    wanted.bold = font->Bold;
    wanted.italic = font->Italic;
    wanted.underline = font->Underline;
    wanted.strikethru = font->Strikethru;
    label.setFont(platform::toQFont(wanted));
    SetForeColour(label, text.ForeColor);
}

QFont DialogFont(double pointSize, bool bold)
{
    platform::FontDescription design;
    design.name = basGlobal::DefaultFontName;
    design.size = pointSize;
    design.bold = bold;
    return platform::toQFont(design);
}

void SetForeColour(QWidget& widget, qint32 colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, platform::toQColor(colour));
    palette.setColor(QPalette::Text, platform::toQColor(colour));
    widget.setPalette(palette);
}

void SetBackColour(QWidget& widget, qint32 colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, platform::toQColor(colour));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

QPixmap FramedPicture(const QImage& picture, const QSize& frame)
{
    QPixmap framed(frame);
    framed.fill(Qt::white);
    if (picture.isNull() || frame.isEmpty())
        return framed;
    const QSize size = picture.size().scaled(frame, Qt::KeepAspectRatio);
    QPainter painter(&framed);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect target((frame.width() - size.width()) / 2, (frame.height() - size.height()) / 2, size.width(),
                       size.height());
    painter.drawImage(target, picture);
    return framed;
}

QPixmap StretchedPicture(const QImage& picture, const QSize& frame)
{
    QPixmap stretched(frame);
    stretched.fill(Qt::white);
    if (picture.isNull() || frame.isEmpty())
        return stretched;
    QPainter painter(&stretched);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), frame), picture);
    return stretched;
}

} // namespace kelvane::labeltext
