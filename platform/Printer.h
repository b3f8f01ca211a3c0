#pragma once

#include "platform/Canvas.h"
#include "platform/Service.h"

#include <QImage>
#include <QRectF>

namespace platform {

// The printer: one print job at a time, drawn on the canvas of its page in twips. The job
// starts with the first drawing and goes to the printer at EndDoc.
class Printer {
public:
    virtual ~Printer() = default;

    // The page being printed.
    virtual Canvas& page() = 0;
    // Paints the picture stretched over the rectangle of the page (twips).
    virtual void PaintPicture(const QImage& picture, const QRectF& twips) = 0;
    // Ends the page being printed; what is drawn next goes on a new page of the same job.
    virtual void NewPage() = 0;
    // Ends the job; the next drawing starts a new one.
    virtual void EndDoc() = 0;

    // The paper's orientation, kPortrait or kLandscape; a change applies from the next job on.
    static constexpr int kPortrait = 1;
    static constexpr int kLandscape = 2;
    virtual int Orientation() const = 0;
    virtual void setOrientation(int orientation) = 0;

    // The printer dialog: the user picks the printer and its settings for the next jobs.
    // False when the user cancelled it.
    virtual bool ShowPrinter() = 0;
};

template <>
struct ServiceDefault<Printer> {
    static std::unique_ptr<Printer> create(); // the system's default printer (platform/gui)
};

inline Printer& printer() { return Service<Printer>::get(); }

} // namespace platform
