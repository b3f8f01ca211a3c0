#pragma once

#include "platform/FileDialogs.h"

#include <QStringList>

namespace platform::gui {

// The file dialogs on Qt Widgets, modal to the active window. Needs a QApplication.
class QtFileDialogs : public FileDialogs {
public:
    std::optional<QString> showOpen(const FileDialogRequest& request) override;
    std::optional<QString> showSave(const FileDialogRequest& request) override;

    // The old filter text as Qt's name filters: "Kelvane XML (*.xml)|*.xml" gives
    // "Kelvane XML (*.xml *.XML)"; "*.*" (any file) becomes "*".
    static QStringList nameFilters(const QString& filter);
};

} // namespace platform::gui
