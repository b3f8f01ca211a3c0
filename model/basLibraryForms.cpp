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

void AutoSizeLabel(kelvane::CaptionLabel& label, const QString& caption)
{
    skippingErrors([&] { label.setCaption(caption); });
    platform::FontDescription font;
    skippingErrors([&] { font = label.Font(); });
    double width = 0;
    skippingErrors([&] { width = label.Width(); });
    double lineHeight = 0;
    skippingErrors([&] { lineHeight = platform::ui().textHeightTwips(font, QStringLiteral("A")); });

    // Each line wraps into as many rows as its width needs.
    double total = 0;
    const QStringList lines = caption.split(u'\r');
    for (const QString& line : lines) {
        skippingErrors([&] {
            if (width <= 0)
                return; // no room to wrap into: the step fails and is skipped
            const double lineWidth = platform::ui().textWidthTwips(font, line);
            total += lineHeight * (std::floor(lineWidth / width) + 1);
        });
    }
    skippingErrors([&] {
        if (total > label.Height())
            label.setHeight(total + lineHeight);
    });
}

} // namespace basLibrary
