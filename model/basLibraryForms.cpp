// Placing forms and sizing labels.
#include "model/basLibrary.h"

#include "model/CaptionLabel.h"
#include "model/ErrorTrap.h"
#include "model/FormWindow.h"
#include "platform/UiServices.h"

#include <cmath>

namespace basLibrary {

using kelvane::skippingErrors;

void CentreForm(kelvane::FormWindow& form)
{
    const QSize screen = platform::ui().screenSizeTwips();
    form.Move((screen.width() - form.Width()) / 2, (screen.height() - form.Height()) / 2);
}

namespace {

// The rows a line takes wrapped into `width` as a text box wraps it: at blanks, a word wider
// than a row broken anywhere (the row after such a word starts afresh).
double wrappedRows(const QString& line, const platform::FontDescription& font, double width)
{
    auto& ui = platform::ui();
    double rows = 1;
    QString row;
    for (const QString& word : line.split(u' ')) {
        const QString candidate = row.isEmpty() ? word : row + u' ' + word;
        if (ui.textWidthTwips(font, candidate) <= width) {
            row = candidate;
            continue;
        }
        if (!row.isEmpty())
            ++rows;
        row = word;
        const double wordWidth = ui.textWidthTwips(font, word);
        if (wordWidth > width)
            rows += std::floor(wordWidth / width);
    }
    return rows;
}

} // namespace

void AutoSizeLabel(kelvane::CaptionLabel& label, const QString& caption)
{
    skippingErrors([&] { label.setCaption(caption); });
    platform::FontDescription font;
    skippingErrors([&] { font = label.Font(); });
    double width = 0;
    skippingErrors([&] { width = label.Width(); });
    double lineHeight = 0;
    skippingErrors([&] { lineHeight = platform::ui().textHeightTwips(font, QStringLiteral("A")); });

    // Each line wraps, word by word, into as many rows as the label's width needs.
    double total = 0;
    const QStringList lines = caption.split(u'\r');
    for (const QString& line : lines) {
        skippingErrors([&] {
            if (width <= 0)
                return; // no room to wrap into: the step fails and is skipped
            total += lineHeight * wrappedRows(line, font, width);
        });
    }
    skippingErrors([&] {
        if (total > label.Height())
            label.setHeight(total + lineHeight);
    });
}

} // namespace basLibrary
