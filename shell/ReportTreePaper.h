#pragma once

#include "platform/FontDescription.h"

#include <QImage>
#include <functional>
#include <vector>

class QTreeWidgetItem;

namespace platform {
class Printer;
}

namespace kelvane {

// The report tree laid out for paper, in twips: every line is its picture, 500 square, with
// its text beside it, centred on the picture; the lines below a line stand 750 further right,
// joined to it by connectors. Pages are slices of that drawing one printable page high.
class ReportTreePaper {
public:
    static constexpr double kIcon = 500;
    static constexpr double kLeft = 150;  // where the first line starts
    static constexpr double kTop = 450;
    static constexpr double kGap = 625;   // from the last line of a subtree down to the next sibling's connector
    static constexpr double kHalfIcon = 250;

    using LinePicture = std::function<QImage(const QTreeWidgetItem&)>;

    // `font` is the font of the lines' texts; `picture` gives the picture of a line.
    ReportTreePaper(const QTreeWidgetItem& root, const platform::FontDescription& font, LinePicture picture);

    // The vertical position of the text of the tree's last line: how far the drawing reaches.
    double Extent() const { return m_extent; }

    // The pages the drawing takes: enough to hold the last line's picture below its text
    // position, at least one.
    static int PageCount(double extent, double pageHeight);

    // Prints the slice of the drawing from `top` down, `height` twips high, on the printer's
    // page: the texts and connectors drawn on its canvas and the pictures painted by it, so all
    // come out at the printer's own resolution. A text or picture goes on the page where its
    // top lies; a connector is cut at the page's edges.
    void PrintPage(platform::Printer& printer, double top, double height) const;

private:
    // What the drawing is made of, in the order it is drawn, with positions on the whole drawing.
    struct Mark {
        enum class Kind { Picture, Text, Connector };
        Kind kind;
        double x1, y1; // a picture's or a text's top left corner; where a connector starts
        double x2, y2; // where a connector ends
        const QTreeWidgetItem* line; // the line of a picture or a text
    };

    // Lays the tree out once, whatever the number of pages printed from it.
    void layOut(const QTreeWidgetItem& root);
    double textHeight(const QString& text) const;

    platform::FontDescription m_font;
    double m_lineSpacing; // pixels from one line of text to the next, as the layout measures them
    LinePicture m_picture;
    std::vector<Mark> m_marks;
    double m_extent = 0;
};

} // namespace kelvane
