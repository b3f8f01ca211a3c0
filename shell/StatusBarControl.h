#pragma once

#include <QFrame>
#include <QTime>
#include <vector>

class QLabel;

namespace kelvane {

// The status bar of the main window: a row of sunken text panels, numbered from 1. A panel
// given the time style shows the current time, which the window's timer keeps up to date.
class StatusBarControl : public QFrame {
public:
    static constexpr int kPanelCount = 3;
    static constexpr int kTimeStyle = 5; // the panel shows the current time
    static constexpr int kTextStyle = 0;

    explicit StatusBarControl(QWidget* parent = nullptr);

    QLabel* Panel(int index) const; // 1-based; null outside 1 to kPanelCount
    int PanelStyle(int index) const;
    void setPanelStyle(int index, int style);

    // Brings every time panel to the time given.
    void ShowTime(const QTime& now);

    // How a time panel writes the time: the locale's short time form.
    static QString timeText(const QTime& time);

private:
    std::vector<QLabel*> m_panels; // owned by the frame
    std::vector<int> m_styles;
};

} // namespace kelvane
