#pragma once

#include <QHash>
#include <QHashFunctions>
#include <QPointF>
#include <QtGlobal>

#include <vector>

namespace platform {

// A line as a surface paints it: its ends in device pixels and its pen.
struct PaintedLine {
    QPointF from;
    QPointF to;
    qint32 colour = 0;
    qint16 drawStyle = 0;
    qint16 drawWidth = 1;

    bool operator==(const PaintedLine&) const = default;
    friend size_t qHash(const PaintedLine& line, size_t seed = 0)
    {
        return qHashMulti(seed, line.from.x(), line.from.y(), line.to.x(), line.to.y(), line.colour, line.drawStyle,
                          line.drawWidth);
    }
};

// Lines kept back for painting, each once, in the order of its last drawing: a line drawn
// again moves to the end. Holds as many lines as differ, however often they are drawn.
class HeldLines {
public:
    void add(const PaintedLine& line);
    bool empty() const { return m_lines.empty(); }

    // Calls `paint(line)` for each line in order, and forgets them.
    template <class Paint>
    void paintAndForget(Paint&& paint)
    {
        for (qint32 at = m_first; at != kNone; at = m_lines[std::size_t(at)].next)
            paint(m_lines[std::size_t(at)].line);
        clear();
    }

    void clear();

private:
    static constexpr qint32 kNone = -1;
    struct Held {
        PaintedLine line;
        qint32 previous = kNone;
        qint32 next = kNone;
    };

    void unlink(qint32 at);
    void append(qint32 at);

    std::vector<Held> m_lines;
    QHash<PaintedLine, qint32> m_places; // line -> its place in m_lines
    qint32 m_first = kNone;
    qint32 m_last = kNone;
};

} // namespace platform
