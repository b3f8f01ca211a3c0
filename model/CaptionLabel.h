#pragma once

#include "platform/FontDescription.h"

#include <QString>

namespace kelvane {

// A label as the common library fills and sizes it; sizes in twips.
class CaptionLabel {
public:
    virtual ~CaptionLabel() = default;
    virtual void setCaption(const QString& caption) = 0;
    virtual platform::FontDescription Font() const = 0;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual void setHeight(double height) = 0;
};

} // namespace kelvane
