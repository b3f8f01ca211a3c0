#pragma once

#include "platform/UiServices.h"

namespace platform::gui {

// The UI services on Qt Widgets: real modal message boxes, prompts and colour dialog, the application's
// override cursor, the system clipboard, and screen metrics in twips (1440 to an inch,
// 15 to a pixel at 96 dots per inch). Needs a QApplication.
class QtUiServices : public UiServices {
public:
    ~QtUiServices() override;

    int messageBox(const QString& text, int style, const QString& title) override;
    std::optional<QString> prompt(PromptKind kind, const QString& title, const QString& label) override;
    std::optional<qint32> chooseColour(qint32 colour) override;
    void yield() override;
    void setBusyPointer(bool busy) override;
    QString clipboardText() override;
    void setClipboardText(const QString& text) override;
    QSize screenSizeTwips() override;
    double textWidthTwips(const FontDescription& font, const QString& text) override;
    double textHeightTwips(const FontDescription& font, const QString& text) override;

    // Twips in one pixel of the primary screen.
    static double twipsPerPixel();

private:
    bool m_busy = false;
};

} // namespace platform::gui
