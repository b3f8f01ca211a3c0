#pragma once

#include "model/AbstractProgressBar.h"

#include <QProgressBar>

namespace kelvane {

// A progress bar of a window (values 0 to 100) that long operations are handed.
class ProgressBarControl : public QProgressBar, public AbstractProgressBar {
public:
    explicit ProgressBarControl(QWidget* parent = nullptr) : QProgressBar(parent)
    {
        setRange(0, 100);
        setValue(0);
        setTextVisible(false);
    }

    int Value() const override { return QProgressBar::value(); }
    void setValue(int value) override { QProgressBar::setValue(qBound(0, value, 100)); }
};

} // namespace kelvane
