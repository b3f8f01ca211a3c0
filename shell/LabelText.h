#pragma once

#include <QString>
#include <QtGlobal>

class QFont;
class QImage;
class QLabel;
class QPixmap;
class QSize;
class QWidget;

namespace kelvane {

class TextLabel;

// Filling the labels of the shell's dialogs from the text labels of a knowledge base.
namespace labeltext {

// The label's caption becomes `prefix` and the text label's text; the label takes the font's
// name, bold, italic, underline and strikethrough (its size too when `withSize`) and the text
// label's colour.
void CopyTextLabel(QLabel& label, TextLabel& text, const QString& prefix = {}, bool withSize = false);

// The font the dialogs were designed with (the default font name at 8.25 points), and the
// same face at another size or weight.
QFont DialogFont(double pointSize = 8.25, bool bold = false);

// The text or background colour of a widget, from a stored colour value.
void SetForeColour(QWidget& widget, qint32 colour);
void SetBackColour(QWidget& widget, qint32 colour);

// A picture shown in a frame of `frame` size on a white ground, centred and keeping its
// proportions: scaled to fit inside the frame.
QPixmap FramedPicture(const QImage& picture, const QSize& frame);

// A picture stretched over the whole frame, whatever its proportions.
QPixmap StretchedPicture(const QImage& picture, const QSize& frame);

} // namespace labeltext
} // namespace kelvane
