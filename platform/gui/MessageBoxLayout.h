#pragma once

#include <QMessageBox>
#include <QString>
#include <vector>

namespace platform::gui {

// What a message box of the old numeric style looks like: its buttons in order with the
// result each one gives, its icon and its default button.
struct MessageBoxLayout {
    struct Button {
        QMessageBox::StandardButton button;
        int result; // msgbox::OK ...
    };

    std::vector<Button> buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int defaultResult = 0;

    static MessageBoxLayout fromStyle(int style);

    // The result of a button the box reported; the default button's result for anything else.
    int resultOf(QMessageBox::StandardButton pressed) const;
};

// Message texts break lines with CR, CR LF or LF; the box wants LF.
QString messageBoxText(const QString& text);

} // namespace platform::gui
