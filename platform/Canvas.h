#pragma once

#include "platform/Colours.h"
#include "platform/FontDescription.h"

#include <QPointF>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace platform {

// DrawStyle values: how lines and outlines are stroked.
namespace drawstyle {
inline constexpr qint16 Solid = 0;
inline constexpr qint16 Dash = 1;
inline constexpr qint16 Dot = 2;
inline constexpr qint16 DashDot = 3;
inline constexpr qint16 DashDotDot = 4;
inline constexpr qint16 Transparent = 5; // nothing is stroked
inline constexpr qint16 InsideSolid = 6;
} // namespace drawstyle

// FillStyle values: how closed figures are filled with FillColor.
namespace fillstyle {
inline constexpr qint16 Solid = 0;
inline constexpr qint16 Transparent = 1; // not filled
inline constexpr qint16 HorizontalLine = 2;
inline constexpr qint16 VerticalLine = 3;
inline constexpr qint16 UpwardDiagonal = 4;
inline constexpr qint16 DownwardDiagonal = 5;
inline constexpr qint16 Cross = 6;
inline constexpr qint16 DiagonalCross = 7;
} // namespace fillstyle

// The drawing properties of a surface, with the values a new surface starts with.
struct CanvasState {
    qint32 foreColor = colours::ButtonText;
    qint32 backColor = colours::ButtonFace;
    qint32 fillColor = 0;
    qint16 fillStyle = fillstyle::Transparent;
    qint16 drawStyle = drawstyle::Solid;
    qint16 drawWidth = 1; // pixels
    FontDescription font;

    bool operator==(const CanvasState&) const = default;
};

// One figure of Circle, as the surface is asked to paint it. Angles are radians from 0 to
// 2π, counter-clockwise from the positive x axis as seen on screen.
struct CircleFigure {
    QPointF centre;
    double radius = 0;
    qint32 colour = 0; // of the outline
    bool arc = false;  // false: the whole circle
    double startAngle = 0;
    double endAngle = 0;
    bool radiusToStart = false; // a line from the centre to the start of the arc
    bool radiusToEnd = false;   // a line from the centre to the end of the arc

    // Whole circles and pies (arcs closed by both radii) take the fill.
    bool closed() const { return !arc || (radiusToStart && radiusToEnd); }

    bool operator==(const CircleFigure&) const = default;
};

// A drawing surface with the members of the old picture box: a scale in twips (y pointing
// down), drawing properties, a current position, lines, circles and printed text. The
// rules the callers rely on (where the position ends, how angles and styles are read,
// which values are refused) live here; a surface only paints the figures it is handed.
class Canvas {
public:
    virtual ~Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Size of the drawing area in twips.
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;

    // Colour values (0x00BBGGRR or system colours).
    qint32 ForeColor() const { return m_state.foreColor; }
    void setForeColor(qint32 colour) { m_state.foreColor = colour; }
    qint32 BackColor() const { return m_state.backColor; }
    void setBackColor(qint32 colour) { m_state.backColor = colour; }
    qint32 FillColor() const { return m_state.fillColor; }
    void setFillColor(qint32 colour) { m_state.fillColor = colour; }

    // A value outside its range raises Invalid property value (380).
    qint16 FillStyle() const { return m_state.fillStyle; }
    void setFillStyle(qint16 style);
    qint16 DrawStyle() const { return m_state.drawStyle; }
    void setDrawStyle(qint16 style);
    qint16 DrawWidth() const { return m_state.drawWidth; }
    void setDrawWidth(qint16 pixels);

    // The font of printed text, whole or member by member (size in points).
    const FontDescription& Font() const { return m_state.font; }
    void setFont(const FontDescription& font) { m_state.font = font; }
    QString FontName() const { return m_state.font.name; }
    void setFontName(const QString& name) { m_state.font.name = name; }
    double FontSize() const { return m_state.font.size; }
    void setFontSize(double points) { m_state.font.size = points; }
    bool FontBold() const { return m_state.font.bold; }
    void setFontBold(bool on) { m_state.font.bold = on; }
    bool FontItalic() const { return m_state.font.italic; }
    void setFontItalic(bool on) { m_state.font.italic = on; }
    bool FontUnderline() const { return m_state.font.underline; }
    void setFontUnderline(bool on) { m_state.font.underline = on; }
    bool FontStrikethru() const { return m_state.font.strikethru; }
    void setFontStrikethru(bool on) { m_state.font.strikethru = on; }

    // Where the next text is printed (its top left corner), and where the last figure ended.
    double CurrentX() const { return m_current.x(); }
    void setCurrentX(double x) { m_current.setX(x); }
    double CurrentY() const { return m_current.y(); }
    void setCurrentY(double y) { m_current.setY(y); }

    const CanvasState& state() const { return m_state; }
    // Takes the state and position of another canvas.
    void takeStateOf(const Canvas& other);

    // A straight line from (x1, y1) towards (x2, y2) in the colour (ForeColor when none),
    // stroked by DrawStyle and DrawWidth. A one-pixel line leaves its end point out, as the
    // old surface does. The position moves to (x2, y2).
    void Line(double x1, double y1, double x2, double y2, std::optional<qint32> colour = std::nullopt);

    // A circle at (x, y) in the colour (ForeColor when none). Without angles the whole
    // circle, filled with FillColor by FillStyle. With a start or an end angle (radians,
    // -2π to 2π, defaults 0 and 2π) the arc counter-clockwise from start to end; a negative
    // angle stands for its magnitude and adds a line from the centre to that end, and only
    // an arc closed by both lines is filled. An angle outside that range raises Invalid
    // procedure call (5). The position moves to the centre.
    void Circle(double x, double y, double radius, std::optional<qint32> colour = std::nullopt,
                std::optional<double> startAngle = std::nullopt, std::optional<double> endAngle = std::nullopt);

    // Writes the text in ForeColor and the font with its top left corner at the position;
    // a line break in it (CR LF, CR or LF) goes on at the left edge of the next line.
    // Afterwards the position is at the left edge of the line below the text.
    void Print(const QString& text);

    // Size of a text in the current font, in twips: the widest of its lines, and the
    // height of all its lines.
    double TextWidth(const QString& text) const;
    double TextHeight(const QString& text) const;

    // Fills the whole surface with BackColor; the position moves to (0, 0).
    void Cls();

    // Runs `first`, then the layers `next` gives, each drawing on a canvas in this one's state,
    // the picture of each on top of those before it: what they draw is what they would draw on
    // this canvas one after the other, which is how a surface runs them unless it can draw them
    // side by side on layers of its own. When a layer fails, nothing the layers after it draw
    // is kept and its error is raised again. Afterwards this canvas has the state and position
    // the last layer run left.
    // `next` runs on the calling thread, on this canvas as it stands before `first` runs, and may
    // run while `first` draws: it draws nothing and changes nothing `first` reads. `alongside`
    // then runs on the calling thread, as `next` does, while the layers may be drawing: a layer
    // may wait for what it does, and none is drawn on the calling thread before it returns. When
    // either fails, nothing is drawn and its error is raised once the layers have ended.
    using LayerDrawing = std::function<void(Canvas&)>;
    virtual void drawLayers(const LayerDrawing& first, const std::function<std::vector<LayerDrawing>()>& next,
                            const std::function<void()>& alongside);

    // Runs `draw` on this canvas. A surface may keep its lines back until it ends (or until it
    // draws anything else) and leave out each line that a later one of the same pixels, pen
    // and colour paints over again: the picture is the one drawing every line gives. When
    // `draw` fails, the lines it drew are painted and its error is raised again.
    virtual void drawLeavingOutRepaintedLines(const std::function<void(Canvas&)>& draw);

protected:
    Canvas() = default;

    // What a surface paints, in twips, with state() in force. Coordinates are finite.
    virtual void paintLine(QPointF from, QPointF to, qint32 colour) = 0;
    virtual void paintCircle(const CircleFigure& figure) = 0;
    // The text's first line at `topLeft`, each further line at the left edge below it.
    virtual void paintText(QPointF topLeft, const QString& text) = 0;
    virtual void paintClear() = 0;

    // Width of one line of text and the height of a line in the current font, in twips.
    virtual double lineWidth(const QString& line) const = 0;
    virtual double lineHeight() const = 0;

    // The lines of a text, split at CR LF, CR or LF (an empty text is one empty line).
    static QStringList linesOf(const QString& text);

private:
    CanvasState m_state;
    QPointF m_current;
};

} // namespace platform
