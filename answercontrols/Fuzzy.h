#pragma once

#include "platform/FontDescription.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QLabel;

namespace platform::automation {
class PropertyBag;
}

namespace kelvane {

class OptionButton;
class Slider;

// The graded-answer control: a vertical slider on the left (0 at the top, 1 at the bottom)
// and, to its right, up to ten answer options whose centres lie evenly from a tenth to nine
// tenths of the height, each standing for one point of the slider. Choosing an option moves
// the slider to its point; moving the slider selects the option at the point it reaches and
// clears the selection between points. In label mode the options are plain labels.
//
// Caption, the font properties and ForeColor work on the option at OptionIndex (the
// template, element 0, while it is 0); the font properties and ForeColor always on option
// buttons, also in label mode. An option that does not exist fails the call with "Control
// array element doesn't exist" (340). Out-of-range Options, OptionIndex and Value are ignored.
class Fuzzy : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool FontUnderline READ FontUnderline WRITE setFontUnderline)
    Q_PROPERTY(bool FontTransparent READ FontTransparent WRITE setFontTransparent)
    Q_PROPERTY(bool FontStrikethru READ FontStrikethru WRITE setFontStrikethru)
    Q_PROPERTY(float FontSize READ FontSize WRITE setFontSize)
    Q_PROPERTY(QString FontName READ FontName WRITE setFontName)
    Q_PROPERTY(bool FontItalic READ FontItalic WRITE setFontItalic)
    Q_PROPERTY(bool FontBold READ FontBold WRITE setFontBold)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(double Value READ Value WRITE setValue)
    Q_PROPERTY(qint16 OptionIndex READ OptionIndex WRITE setOptionIndex)
    Q_PROPERTY(qint16 Options READ Options WRITE setOptions)
    Q_PROPERTY(bool Label MEMBER Label)

public:
    static constexpr int kMaxOptions = 10;
    using FontNameSource = std::function<QString()>;

    // `defaultFontName` gives the name put in place of a font name an option refuses: the
    // program's default font name when none is given.
    explicit Fuzzy(QWidget* parent = nullptr, FontNameSource defaultFontName = {});
    ~Fuzzy() override;

    // Label mode: options are made as labels. Set it before Options.
    bool Label = false;

    qint32 ForeColor() const;
    void setForeColor(qint32 colour);
    bool FontUnderline() const;
    void setFontUnderline(bool on);
    // Kept and saved; changes nothing on screen.
    bool FontTransparent() const { return m_fontTransparent; }
    void setFontTransparent(bool on);
    bool FontStrikethru() const;
    void setFontStrikethru(bool on);
    // Points; a size that is not a number from above 0 to 2160 is refused (380).
    float FontSize() const;
    void setFontSize(float points);
    QString FontName() const;
    // A name the option refuses (empty, or longer than a face name may be) is replaced by
    // the default font name.
    void setFontName(const QString& name);
    bool FontItalic() const;
    void setFontItalic(bool on);
    bool FontBold() const;
    void setFontBold(bool on);

    // The text last given, not read back from an option.
    QString Caption() const { return m_caption; }
    void setCaption(const QString& text);

    // The slider's Enabled; setting it also sets that of option buttons 1 to Options.
    bool Enabled() const;
    void setEnabled(bool on);

    // The slider's value; setting it from 0 to 1 moves the slider and follows it with the
    // options. Anything else is ignored.
    double Value() const;
    void setValue(double value);

    // The option the properties work on; setting 1 to Options selects that option (and,
    // while enabled, moves the value to its point), 0 clears every selection.
    qint16 OptionIndex() const { return m_current; }
    void setOptionIndex(qint16 index);

    // The number of options, 0 to 10; changing it makes or removes options, lays them out
    // again and clears their selection.
    qint16 Options() const { return m_count; }
    void setOptions(qint16 count);

    // Saved properties: a new instance, or one loaded from or saved to its container. What
    // is read goes to the option at the current index (the template when just made); a font
    // size the option refuses is left out, so what was loaded can always be saved.
    void InitProperties();
    void ReadProperties(const platform::automation::PropertyBag& bag);
    void WriteProperties(platform::automation::PropertyBag& bag) const;

    // The constituent controls.
    Slider& Slider1() const { return *m_slider; }
    OptionButton& optOption(int index) const;
    QLabel& labLabel(int index) const;

    // Whether an option takes the name as its font name.
    static bool acceptsFontName(const QString& name);

Q_SIGNALS:
    void ValueChange();
    // A property the container saves has changed.
    void propertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static constexpr int kElements = kMaxOptions + 1; // element 0 is the template

    QWidget& element(int index) const; // of the current mode
    void loadElement(int index);
    void unloadElement(int index);
    void placeOptions();
    void layOutOnResize();

    void selectOption(int index);
    void optionClicked(int index);
    void followSlider();
    bool owns(const QWidget* widget) const;

    void changeFont(const char* property, const std::function<void(platform::FontDescription&)>& edit);
    void applyFontName(OptionButton& option, const QString& name);

    FontNameSource m_defaultFontName;
    std::unique_ptr<Slider> m_slider;
    std::array<std::unique_ptr<OptionButton>, kElements> m_optOption;
    std::array<std::unique_ptr<QLabel>, kElements> m_labLabel;
    qint16 m_count = 0;
    qint16 m_current = 0;
    QString m_caption;
    bool m_fontTransparent = false;
    bool m_painted = false;
    bool m_userClick = false; // the next option selection comes from the user's press on it
};

} // namespace kelvane
