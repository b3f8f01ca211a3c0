#pragma once

#include "platform/UiServices.h"

#include <QStringList>
#include <memory>

namespace platform::gui {

class Speller;

// The UI services on Qt Widgets: real modal message boxes, prompts, colour dialog and spelling
// dialog (on the Hunspell dictionary "en_US"), the application's
// override cursor, the system clipboard, and screen metrics in twips (1440 to an inch,
// 15 to a pixel at 96 dots per inch). Needs a QApplication.
class QtUiServices : public UiServices {
public:
    // Dictionaries are looked for in the standard folders, or in those given.
    QtUiServices();
    explicit QtUiServices(QStringList dictionaryFolders);
    ~QtUiServices() override;

    int messageBox(const QString& text, int style, const QString& title) override;
    std::optional<QString> prompt(PromptKind kind, const QString& title, const QString& label) override;
    std::optional<qint32> chooseColour(qint32 colour) override;
    bool spellingAvailable() override;
    SpellingResult checkSpelling(const QString& text) override;
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
    // The dictionary, opened on first use; null when none is installed.
    Speller* speller();

    bool m_busy = false;
    QStringList m_dictionaryFolders;
    std::unique_ptr<Speller> m_speller;
    bool m_spellerLookedFor = false;
};

} // namespace platform::gui
