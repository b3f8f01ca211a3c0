#pragma once

#include "platform/Printer.h"
#include "platform/doubles/RecordingCanvas.h"

#include <vector>

namespace platform::doubles {

// A printer for tests: its page is a recording canvas; pictures, new pages and ended jobs are counted,
// with the orientation each job ended in; the printer dialog answers as the test sets.
class RecordingPrinter : public Printer {
public:
    struct PictureCall {
        QSize pictureSize;
        QRectF twips;
    };

    RecordingCanvas recordedPage {12000.0, 16000.0};
    std::vector<PictureCall> pictures;
    int newPages = 0;
    int endedJobs = 0;
    std::vector<int> jobOrientations;
    int orientation = kPortrait;
    bool printerDialogAccepts = true;
    int printerDialogs = 0;

    Canvas& page() override { return recordedPage; }
    void PaintPicture(const QImage& picture, const QRectF& twips) override { pictures.push_back({picture.size(), twips}); }
    void NewPage() override { ++newPages; }
    void EndDoc() override
    {
        ++endedJobs;
        jobOrientations.push_back(orientation);
    }
    int Orientation() const override { return orientation; }
    void setOrientation(int value) override { orientation = value; }
    bool ShowPrinter() override
    {
        ++printerDialogs;
        return printerDialogAccepts;
    }
};

} // namespace platform::doubles
