#pragma once

#include <QDialog>

class QDialogButtonBox;

namespace kelvane::plexant {

// The control's About box: the product's name, version and build, an OK button and a Help
// button that opens the control's help file from the control's folder.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kBuild = 516;
    static const QString kVersion;
    static const QString kHelpFileName;

    explicit AboutDialog(const QString& productName, QWidget* parent = nullptr);

    QDialogButtonBox& buttons() const { return *m_buttons; }
    // Opens the help file with the desktop's opener; a message box tells when there is none.
    void showHelp();

private:
    QDialogButtonBox* m_buttons;
};

// Shows the About box modally.
void showAboutDialog(const QString& productName);

} // namespace kelvane::plexant
