#pragma once

#include <QPointF>
#include <QtGlobal>
#include <map>
#include <memory>

namespace kelvane {

class NetworkCanvas;

// A line laid over the diagram's canvas (a line control): two ends in twips, shown while
// visible. The canvas paints its lines over its picture, the one brought to the front last.
// Lines belong to their canvas (NetworkCanvas::addLine).
class CanvasLine {
public:
    explicit CanvasLine(NetworkCanvas& canvas) : m_canvas(canvas) {}
    CanvasLine(const CanvasLine&) = delete;
    CanvasLine& operator=(const CanvasLine&) = delete;

    float X1() const { return m_x1; }
    float Y1() const { return m_y1; }
    float X2() const { return m_x2; }
    float Y2() const { return m_y2; }
    void setX1(float x);
    void setY1(float y);
    void setX2(float x);
    void setY2(float y);
    // Both ends at once.
    void setEnds(QPointF from, QPointF to);

    bool Visible() const { return m_visible; }
    void setVisible(bool visible);

    // Brings the line in front of the canvas's other lines.
    void ZOrder();

private:
    void changed();

    NetworkCanvas& m_canvas;
    float m_x1 = 0;
    float m_y1 = 0;
    float m_x2 = 0;
    float m_y2 = 0;
    bool m_visible = false;
};

// A control array of lines over the canvas: elements are loaded and unloaded by number at
// run time. Element 0 stands for the hidden element made at design time and is never loaded.
class CanvasLineArray {
public:
    explicit CanvasLineArray(NetworkCanvas& canvas) : m_canvas(canvas) {}
    ~CanvasLineArray();
    CanvasLineArray(const CanvasLineArray&) = delete;
    CanvasLineArray& operator=(const CanvasLineArray&) = delete;

    // A new hidden element; ObjectAlreadyLoaded (360) when the number is taken, and for 0.
    CanvasLine& Load(qint16 index);
    // ControlArrayElementMissing (340) when the element is not loaded.
    void Unload(qint16 index);
    CanvasLine& Item(qint16 index) const;
    void UnloadAll();
    qsizetype Count() const { return qsizetype(m_elements.size()); }

private:
    NetworkCanvas& m_canvas;
    std::map<qint16, CanvasLine*> m_elements; // owned by the canvas
};

} // namespace kelvane
