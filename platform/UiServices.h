#pragma once

#include "platform/FontDescription.h"
#include "platform/Service.h"

#include <QSize>
#include <QString>
#include <optional>

namespace platform {

// Message box styles and results in the old numeric form: buttons + icon + default button.
namespace msgbox {
inline constexpr int OKOnly = 0;
inline constexpr int OKCancel = 1;
inline constexpr int AbortRetryIgnore = 2;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int RetryCancel = 5;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int DefaultButton2 = 256;
inline constexpr int DefaultButton3 = 512;

inline constexpr int OK = 1;
inline constexpr int Cancel = 2;
inline constexpr int Abort = 3;
inline constexpr int Retry = 4;
inline constexpr int Ignore = 5;
inline constexpr int Yes = 6;
inline constexpr int No = 7;

inline constexpr int buttonsOf(int style) { return style & 0x0F; }
inline constexpr int iconOf(int style) { return style & 0xF0; }
inline constexpr int defaultButtonOf(int style) { return (style & 0xF00) / 256 + 1; }

// The number of buttons a style shows.
int buttonCount(int style);

// The result of pressing the n-th (1-based) button of a style.
int buttonResult(int style, int n);
} // namespace msgbox

enum class PromptKind { Password, Text };

// A text after the user went through its misspelt words.
struct SpellingResult {
    QString text;           // with the user's changes
    bool cancelled = false; // the user stopped the check (changes made before stay in text)
};

// What the program asks of the windowing system. Every call returns before the caller
// goes on; none may block a headless test (tests install a scripted double).
class UiServices {
public:
    virtual ~UiServices() = default;

    // A modal message box; returns the button pressed (msgbox::OK ...).
    virtual int messageBox(const QString& text, int style, const QString& title) = 0;

    // A modal prompt for a password or a line of text: the typed text, or nothing when
    // the prompt was closed without OK.
    virtual std::optional<QString> prompt(PromptKind kind, const QString& title, const QString& label) = 0;

    // The modal colour dialog preset with `colour` (0x00BBGGRR or a system colour): the
    // colour chosen, as 0x00BBGGRR, or nothing when the dialog was closed without OK.
    virtual std::optional<qint32> chooseColour(qint32 colour) = 0;

    // Whether texts can be checked for spelling: a dictionary is installed.
    virtual bool spellingAvailable() = 0;

    // Asks the user about each misspelt word of `text` in turn (change it, ignore it, or stop
    // the check) and returns the text as changed. Raises CantCreateObject (429) when no
    // dictionary is installed.
    virtual SpellingResult checkSpelling(const QString& text) = 0;

    // Lets the message loop run once (pending events, redraws).
    virtual void yield() = 0;

    // Hourglass while busy, the default pointer otherwise.
    virtual void setBusyPointer(bool busy) = 0;

    virtual QString clipboardText() = 0;
    virtual void setClipboardText(const QString& text) = 0;

    // The screen's size in twips (15 to a pixel).
    virtual QSize screenSizeTwips() = 0;

    // Printed width and height of a text in a font, in twips.
    virtual double textWidthTwips(const FontDescription& font, const QString& text) = 0;
    virtual double textHeightTwips(const FontDescription& font, const QString& text) = 0;
};

// Without a window system: message boxes answer with their default button and are echoed
// to standard error, prompts and the colour dialog are refused, no text can be checked for
// spelling, text is measured with fixed metrics.
class HeadlessUiServices : public UiServices {
public:
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

private:
    QString m_clipboard;
};

template <>
struct ServiceDefault<UiServices> {
    static std::unique_ptr<UiServices> create();
};

inline UiServices& ui() { return Service<UiServices>::get(); }

// The title message boxes carry: the application's name.
QString applicationTitle();

} // namespace platform
