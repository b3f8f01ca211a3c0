#pragma once

#include "diagram/CanvasLine.h"
#include "platform/PainterCanvas.h"
#include "platform/PointerCodes.h"
#include "platform/TextWidths.h"

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <functional>
#include <optional>
#include <memory>
#include <vector>

namespace kelvane {

// The diagram's drawing canvas (the picture box "picnetwork"): a picture that keeps what
// was drawn on it until it is drawn over, shown in the widget. Drawing goes through the
// platform canvas in twips. Pointer input is handed on as the canvas's own events, with the
// old button and shift codes and the position in twips.
class NetworkCanvas : public QWidget {
    Q_OBJECT

public:
    // Button codes of the pointer events.
    static constexpr qint16 kLeftButton = platform::pointer::LeftButton;
    static constexpr qint16 kRightButton = platform::pointer::RightButton;
    static constexpr qint16 kMiddleButton = platform::pointer::MiddleButton;
    // Shift codes: a sum of these.
    static constexpr qint16 kShiftKey = platform::pointer::ShiftMask;
    static constexpr qint16 kCtrlKey = platform::pointer::CtrlMask;
    static constexpr qint16 kAltKey = platform::pointer::AltMask;

    explicit NetworkCanvas(QWidget* parent = nullptr);
    ~NetworkCanvas() override;

    // The drawing surface over the canvas's picture.
    platform::Canvas& canvas() { return *m_canvas; }

    // Runs `measure` on a surface that measures text as the picture's does and keeps the widths
    // with the picture's, so that the next drawing need not measure those texts again. It draws
    // nothing anyone sees.
    void measureAhead(const std::function<void(platform::Canvas&)>& measure);
    // Called after each drawing of the picture: the widths of texts that drawing did not ask
    // for are let go.
    void drawingDone() { m_textWidths.forgetUnused(); }
    // The widths kept, for tests.
    const platform::TextWidths& textWidths() const { return m_textWidths; }

    double ScaleWidth() const { return m_canvas->ScaleWidth(); }
    double ScaleHeight() const { return m_canvas->ScaleHeight(); }

    // Setting the back colour clears the picture to it.
    qint32 BackColor() const { return m_canvas->BackColor(); }
    void setBackColor(qint32 colour);

    // Paints the picture stretched over the rectangle (twips) of the canvas.
    void PaintPicture(const QImage& picture, const QRectF& twips);

    // The tooltip shown over the canvas, as written.
    QString ToolTipText() const { return m_toolTipText; }
    void setToolTipText(const QString& text);

    // Shows what was drawn at once.
    void Refresh();

    // A copy of the canvas's picture as it stands.
    QImage Image() const;

    // The lines laid over the picture: a new hidden line in front of the others, and
    // removing one (which deletes it). Lines are painted one pixel wide in black.
    CanvasLine& addLine();
    void removeLine(const CanvasLine& line);
    void bringToFront(const CanvasLine& line);

Q_SIGNALS:
    void MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void MouseUp(qint16 Button, qint16 Shift, float X, float Y);
    void DblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // A new picture of the widget's size, keeping what fits of the old one and the drawing state.
    void resizePicture();
    float toTwipsX(double pixels) const;
    float toTwipsY(double pixels) const;

    platform::TextWidths m_textWidths; // outlives m_canvas, which measures with it
    QImage m_picture;
    QString m_toolTipText;
    std::vector<std::unique_ptr<CanvasLine>> m_lines; // back to front
    QPainter m_painter; // active on m_picture while it has pixels
    std::unique_ptr<platform::PainterCanvas> m_canvas;
};

} // namespace kelvane
