#pragma once

#include "model/AbstractNodeButton.h"
#include "platform/RuntimeError.h"

namespace kelvane::doubles {

// A narrator button for tests: keeps its caption, counts focus requests, and can refuse
// the focus the way a hidden button does.
class RecordingNodeButton : public AbstractNodeButton {
public:
    QString caption;
    int focusRequests = 0;
    bool refuseFocus = false;

    void setCaption(const QString& text) override { caption = text; }
    void setFocus() override
    {
        ++focusRequests;
        if (refuseFocus)
            raiseError(err::InvalidProcedureCall);
    }
};

} // namespace kelvane::doubles
