#include "answercontrols/Fuzzy.h"

#include "answercontrols/OptionButton.h"
#include "answercontrols/Slider.h"
#include "answercontrols/TextColour.h"
#include "answercontrols/Twips.h"
#include "model/ErrorTrap.h"
#include "model/basGlobal.h"
#include "platform/Colours.h"
#include "platform/Conversions.h"
#include "platform/QtFont.h"
#include "platform/RuntimeError.h"
#include "platform/Variant.h"
#include "platform/automation/PropertyBag.h"
#include "platform/gui/PlainText.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <algorithm>
#include <cmath>

namespace kelvane {

namespace {
constexpr char kModule[] = "Fuzzy";

// The size the option and label templates were designed with, in twips.
constexpr double kTemplateWidth = 1215;
constexpr double kTemplateHeight = 255;

// The longest face name a font takes.
constexpr int kLongestFontName = 31;
constexpr double kLargestFontSize = 2160;

// A point size an option takes: a number from above 0 to 2160.
bool isFontSize(float points)
{
    return points > 0 && points <= kLargestFontSize;
}

// Sets a flag for a scope and puts the old value back at its end.
class FlagOverride {
public:
    FlagOverride(bool& flag, bool value)
        : m_flag(flag)
        , m_saved(flag)
    {
        flag = value;
    }
    ~FlagOverride() { m_flag = m_saved; }
    FlagOverride(const FlagOverride&) = delete;
    FlagOverride& operator=(const FlagOverride&) = delete;

private:
    bool& m_flag;
    bool m_saved;
};

template <class Element, std::size_t N>
Element& existing(const std::array<std::unique_ptr<Element>, N>& elements, int index)
{
    if (index < 0 || index >= int(N) || !elements[index])
        raiseError(err::ControlArrayElementMissing);
    return *elements[index];
}

std::unique_ptr<QLabel> copyLabel(const QLabel& original, QWidget* parent)
{
    auto label = std::make_unique<platform::gui::PlainLabel>(original.text(), parent);
    label->setFont(original.font());
    label->setPalette(original.palette());
    label->setWordWrap(original.wordWrap());
    label->setAlignment(original.alignment());
    label->resize(original.size());
    return label;
}
} // namespace

Fuzzy::Fuzzy(QWidget* parent, FontNameSource defaultFontName)
    : QWidget(parent)
    , m_defaultFontName(defaultFontName ? std::move(defaultFontName) : [] { return basGlobal::DefaultFontName; })
    , m_slider(std::make_unique<Slider>(this))
{
    const platform::FontDescription designFont;
    m_optOption[0] = std::make_unique<OptionButton>(this);
    m_labLabel[0] = std::make_unique<platform::gui::PlainLabel>(this);
    m_labLabel[0]->setFont(platform::toQFont(designFont));
    m_labLabel[0]->setWordWrap(true);
    m_labLabel[0]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    applyTextColour(*m_labLabel[0], platform::colours::ButtonText);
    for (QWidget* templ : {static_cast<QWidget*>(m_optOption[0].get()), static_cast<QWidget*>(m_labLabel[0].get())}) {
        twips::setWidth(*templ, kTemplateWidth);
        twips::setHeight(*templ, kTemplateHeight);
        templ->hide();
    }

    connect(m_slider.get(), &Slider::ValueChange, this,
            [this] { trappedVoid(kModule, "Slider1_ValueChange", [this] { followSlider(); }); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        // Focus moving on to another control; a window losing the focus is not that.
        if (now && owns(old) && !owns(now))
            m_userClick = false;
    });

    setValue(0.5);
}

Fuzzy::~Fuzzy() = default;

// --- Properties of the current option -------------------------------------------------

qint32 Fuzzy::ForeColor() const { return optOption(m_current).ForeColor(); }

void Fuzzy::setForeColor(qint32 colour)
{
    optOption(m_current).setForeColor(colour);
    Q_EMIT propertyChanged(QStringLiteral("ForeColor"));
}

bool Fuzzy::FontUnderline() const { return optOption(m_current).fontDescription().underline; }

void Fuzzy::setFontUnderline(bool on)
{
    changeFont("FontUnderline", [on](platform::FontDescription& font) { font.underline = on; });
}

void Fuzzy::setFontTransparent(bool on)
{
    m_fontTransparent = on;
    Q_EMIT propertyChanged(QStringLiteral("FontTransparent"));
}

bool Fuzzy::FontStrikethru() const { return optOption(m_current).fontDescription().strikethru; }

void Fuzzy::setFontStrikethru(bool on)
{
    changeFont("FontStrikethru", [on](platform::FontDescription& font) { font.strikethru = on; });
}

float Fuzzy::FontSize() const { return float(optOption(m_current).fontDescription().size); }

void Fuzzy::setFontSize(float points)
{
    if (!isFontSize(points))
        raiseError(err::InvalidPropertyValue);
    changeFont("FontSize", [points](platform::FontDescription& font) { font.size = points; });
}

QString Fuzzy::FontName() const { return optOption(m_current).fontDescription().name; }

void Fuzzy::setFontName(const QString& name)
{
    applyFontName(optOption(m_current), name);
    Q_EMIT propertyChanged(QStringLiteral("FontName"));
}

bool Fuzzy::FontItalic() const { return optOption(m_current).fontDescription().italic; }

void Fuzzy::setFontItalic(bool on)
{
    changeFont("FontItalic", [on](platform::FontDescription& font) { font.italic = on; });
}

bool Fuzzy::FontBold() const { return optOption(m_current).fontDescription().bold; }

void Fuzzy::setFontBold(bool on)
{
    changeFont("FontBold", [on](platform::FontDescription& font) { font.bold = on; });
}

void Fuzzy::setCaption(const QString& text)
{
    m_caption = text;
    if (Label)
        labLabel(m_current).setText(text);
    else
        optOption(m_current).setText(text);
    Q_EMIT propertyChanged(QStringLiteral("Caption"));
}

bool Fuzzy::acceptsFontName(const QString& name)
{
    return !name.trimmed().isEmpty() && name.size() <= kLongestFontName && !name.contains(QChar(0));
}

void Fuzzy::changeFont(const char* property, const std::function<void(platform::FontDescription&)>& edit)
{
    OptionButton& option = optOption(m_current);
    platform::FontDescription font = option.fontDescription();
    edit(font);
    option.setFontDescription(font);
    Q_EMIT propertyChanged(QString::fromLatin1(property));
}

void Fuzzy::applyFontName(OptionButton& option, const QString& name)
{
    platform::FontDescription font = option.fontDescription();
    font.name = acceptsFontName(name) ? name : m_defaultFontName();
    option.setFontDescription(font);
}

// --- Enabled, value and options ----------------------------------------------------------

bool Fuzzy::Enabled() const { return m_slider->Enabled(); }

void Fuzzy::setEnabled(bool on)
{
    m_slider->setEnabled(on);
    for (int i = 1; i <= m_count; ++i)
        optOption(i).setEnabled(on);
}

double Fuzzy::Value() const { return m_slider->Value(); }

void Fuzzy::setValue(double value)
{
    if (!(value >= 0 && value <= 1))
        return;
    const QPointer<Fuzzy> alive(this);
    m_slider->setValue(value); // yields: the control may go meanwhile
    if (alive)
        followSlider();
}

void Fuzzy::setOptionIndex(qint16 index)
{
    if (index < 0 || index > m_count)
        return;
    const FlagOverride restored(m_userClick, m_userClick);
    m_current = index;
    if (index != 0) {
        m_userClick = true;
        if (!Label)
            selectOption(index);
    } else {
        m_userClick = false;
        if (!Label)
            for (int i = 1; i <= m_count; ++i)
                optOption(i).setChecked(false);
    }
}

void Fuzzy::setOptions(qint16 count)
{
    if (count < 0 || count > kMaxOptions)
        return;
    const double height = twips::Height(*this);
    const int old = m_count;
    for (int i = old + 1; i <= count; ++i) {
        loadElement(i);
        QWidget& made = element(i);
        made.show();
        made.setEnabled(Enabled());
        made.raise();
        if (count >= 2)
            twips::setHeight(made, (height - height / 5) / std::max<int>(count, 5));
    }
    for (int j = count + 1; j <= old; ++j)
        unloadElement(j);
    m_count = count;
    placeOptions();
}

// Spreads the options' centres evenly from a tenth to nine tenths of the height (the one
// option at half the height) and clears their selection.
void Fuzzy::placeOptions()
{
    const double width = twips::Width(*this);
    const double height = twips::Height(*this);
    for (int i = 1; i <= m_count; ++i) {
        if (!Label)
            optOption(i).setChecked(false);
        QWidget& option = element(i);
        twips::setLeft(option, width / 4);
        twips::setWidth(option, width / 4 * 3);
        const double h = twips::Height(option);
        twips::setTop(option, m_count == 1 ? height / 2 - h / 2
                                           : (height - height / 5) / (m_count - 1) * (i - 1) + height / 10 - h / 2);
        if (!Label)
            optOption(i).raise();
    }
    if (Label)
        for (int i = 1; i <= m_count; ++i)
            twips::setHeight(labLabel(i), height / (m_count + 1));
}

OptionButton& Fuzzy::optOption(int index) const { return existing(m_optOption, index); }

QLabel& Fuzzy::labLabel(int index) const { return existing(m_labLabel, index); }

QWidget& Fuzzy::element(int index) const
{
    if (Label)
        return labLabel(index);
    return optOption(index);
}

void Fuzzy::loadElement(int index)
{
    if (Label) {
        if (m_labLabel[index])
            raiseError(err::ObjectAlreadyLoaded);
        m_labLabel[index] = copyLabel(labLabel(0), this);
        return;
    }
    if (m_optOption[index])
        raiseError(err::ObjectAlreadyLoaded);
    m_optOption[index] = optOption(0).copy(this);
    OptionButton* option = m_optOption[index].get();
    connect(option, &OptionButton::mousePressed, this, [this] { m_userClick = true; });
    connect(option, &OptionButton::selectionRequested, this,
            [this, index] { trappedVoid(kModule, "optOption_Click", [&] { selectOption(index); }); });
}

void Fuzzy::unloadElement(int index)
{
    if (Label) {
        labLabel(index);
        m_labLabel[index].reset();
    } else {
        optOption(index);
        m_optOption[index].reset();
    }
}

// Selects option button `index` as clicking it would: when it was not selected, the others
// are cleared and its click runs.
void Fuzzy::selectOption(int index)
{
    OptionButton& chosen = optOption(index);
    if (chosen.isChecked())
        return;
    for (const auto& option : m_optOption)
        if (option && option.get() != &chosen)
            option->setChecked(false);
    chosen.setChecked(true);
    optionClicked(index);
}

void Fuzzy::optionClicked(int index)
{
    if (!Enabled())
        return;
    if (!m_userClick) {
        // Selected without a press on it, as when the focus lands on it: undone, and the
        // next selection counts.
        optOption(index).setChecked(false);
        m_userClick = true;
        return;
    }
    const double target = m_count == 1 ? 0.5 : double(index - 1) / (m_count - 1);
    {
        const FlagOverride forced(m_userClick, true);
        selectOption(index);
    }
    if (m_painted)
        m_slider->setFocus();
    if (Value() != target)
        setValue(target);
}

// Selects the option whose point the slider stands on, or clears the selection between
// points; then tells the host.
void Fuzzy::followSlider()
{
    const double point = m_slider->Value() * (m_count - 1);
    if (m_count != 0 && point == conv::floorWhole(point) && point >= 0 && point <= m_count - 1) {
        const FlagOverride forced(m_userClick, true);
        if (!Label)
            selectOption(int(point) + 1);
    } else {
        setOptionIndex(0);
    }
    Q_EMIT ValueChange();
}

bool Fuzzy::owns(const QWidget* widget) const { return widget && (widget == this || isAncestorOf(widget)); }

// --- Events ----------------------------------------------------------------------------

void Fuzzy::paintEvent(QPaintEvent*) { m_painted = true; }

void Fuzzy::resizeEvent(QResizeEvent*)
{
    trappedVoid(kModule, "UserControl_Resize", [this] { layOutOnResize(); });
}

void Fuzzy::layOutOnResize()
{
    const double width = twips::Width(*this);
    const double height = twips::Height(*this);
    twips::setWidth(*m_slider, (width - 15) / 4);
    twips::setHeight(*m_slider, height);
    const double sliderTop = twips::Top(*m_slider);
    const double sliderHeight = twips::Height(*m_slider);
    for (int i = 1; i <= m_count; ++i) {
        QWidget& option = element(i);
        twips::setLeft(option, width / 4);
        twips::setWidth(option, width / 4 * 3);
        if (m_count == 1)
            twips::setTop(option, height / 2 - twips::Height(element(1)));
        else
            twips::setTop(option, sliderTop + sliderHeight * 0.8 / (m_count - 1) * (i - 1) + sliderHeight * 0.1
                                      - twips::Height(option) / 2);
    }
    m_userClick = false;
}

// --- Saved properties -------------------------------------------------------------------

void Fuzzy::InitProperties()
{
    m_caption.clear();
    m_fontTransparent = false;
}

void Fuzzy::ReadProperties(const platform::automation::PropertyBag& bag)
{
    const auto read = [&bag](const char* name, const Variant& defaultValue) {
        return bag.read(QString::fromLatin1(name), defaultValue);
    };
    m_caption = read("Caption", QString()).toString();
    OptionButton& option = optOption(m_current);
    const auto editFont = [&option](const auto& edit) {
        platform::FontDescription font = option.fontDescription();
        edit(font);
        option.setFontDescription(font);
    };
    const bool bold = read("FontBold", false).toBool();
    editFont([bold](platform::FontDescription& font) { font.bold = bold; });
    const bool italic = read("FontItalic", false).toBool();
    editFont([italic](platform::FontDescription& font) { font.italic = italic; });
    applyFontName(option, read("FontName", u"MS Sans Serif").toString());
    // A size the option refuses leaves its size as it was; the properties after it still load.
    const float size = float(read("FontSize", 8.0).toDouble());
    if (isFontSize(size))
        editFont([size](platform::FontDescription& font) { font.size = size; });
    const bool strikethru = read("FontStrikethru", false).toBool();
    editFont([strikethru](platform::FontDescription& font) { font.strikethru = strikethru; });
    m_fontTransparent = read("FontTransparent", true).toBool();
    const bool underline = read("FontUnderline", false).toBool();
    editFont([underline](platform::FontDescription& font) { font.underline = underline; });
    option.setForeColor(conv::toInt32(read("ForeColor", platform::colours::ButtonText).toDouble()));
}

void Fuzzy::WriteProperties(platform::automation::PropertyBag& bag) const
{
    const auto write = [&bag](const char* name, const Variant& value, const Variant& defaultValue) {
        bag.write(QString::fromLatin1(name), value, defaultValue);
    };
    write("Caption", m_caption, QString());
    const OptionButton& option = optOption(m_current);
    const platform::FontDescription& font = option.fontDescription();
    write("FontBold", font.bold, false);
    write("FontItalic", font.italic, false);
    write("FontName", font.name, QString());
    write("FontSize", double(float(font.size)), 8.0);
    write("FontStrikethru", font.strikethru, false);
    write("FontTransparent", m_fontTransparent, true);
    write("FontUnderline", font.underline, false);
    write("ForeColor", option.ForeColor(), platform::colours::ButtonText);
}

} // namespace kelvane
