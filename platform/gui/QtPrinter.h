#pragma once

#include "platform/PainterCanvas.h"
#include "platform/Printer.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <memory>

namespace platform {

// The printer on Qt's print support: the system's default printer, at high resolution.
// A printer that cannot be started gives a page that paints nothing.
class QtPrinter : public Printer {
public:
    QtPrinter();
    // A printer that writes every job into this PDF file instead.
    explicit QtPrinter(const QString& pdfFile);
    ~QtPrinter() override;

    Canvas& page() override;
    void PaintPicture(const QImage& picture, const QRectF& twips) override;
    void NewPage() override;
    void EndDoc() override;
    int Orientation() const override;
    void setOrientation(int orientation) override;
    bool ShowPrinter() override;

private:
    void startJob();

    QPrinter m_printer;
    QPainter m_painter;
    QImage m_nowhere; // the device of a page that paints nothing
    std::unique_ptr<PainterCanvas> m_page;
};

} // namespace platform
