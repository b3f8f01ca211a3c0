#pragma once

#include "diagram/AbstractParentForm.h"
#include "model/AbstractProgressBar.h"
#include "platform/RuntimeError.h"

#include <QStringList>
#include <vector>

namespace kelvane::doubles {

// A host window for tests: keeps its caption and progress value, records captions written,
// focus requests and toolbar notices, and can refuse the toolbar notice.
class RecordingParentForm : public AbstractParentForm {
public:
    class ProgressBar : public AbstractProgressBar {
    public:
        int value = 0;
        std::vector<int> values; // every value set, in order
        int Value() const override { return value; }
        void setValue(int v) override
        {
            value = v;
            values.push_back(v);
        }
    };

    QString caption;
    QString name = QStringLiteral("frmNavigate");
    QStringList captionsWritten;
    int focusRequests = 0;
    int toolbarUpdates = 0;
    bool refuseToolbar = false;
    ProgressBar progressBar;

    QString Caption() const override { return caption; }
    void setCaption(const QString& text) override
    {
        caption = text;
        captionsWritten << text;
    }
    QString Name() const override { return name; }
    void SetFocus() override { ++focusRequests; }
    AbstractProgressBar* ProgressBar1() override { return &progressBar; }
    void UpdateToolbar() override
    {
        ++toolbarUpdates;
        if (refuseToolbar)
            raiseError(err::InvalidProcedureCall);
    }
};

} // namespace kelvane::doubles
