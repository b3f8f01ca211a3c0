#include "https/AboutDialog.h"

#include "platform/ProcessLauncher.h"
#include "platform/RuntimeError.h"
#include "platform/UiServices.h"
#include "platform/automation/ServerLibrary.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>

namespace kelvane::plexant {

const QString AboutDialog::kVersion = QStringLiteral("5.0 ");
const QString AboutDialog::kHelpFileName = QStringLiteral("nbkssl.chm");

namespace {
const char kAnchor = 0; // an address in this library, to find its folder
}

AboutDialog::AboutDialog(const QString& productName, QWidget* parent)
    : QDialog(parent)
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help, this))
{
    setWindowTitle(QStringLiteral("About %1...").arg(productName));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("%1 Version %2 [Build %3]").arg(productName, kVersion).arg(kBuild), this));
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::helpRequested, this, &AboutDialog::showHelp);
}

void AboutDialog::showHelp()
{
    const QString folder = QFileInfo(platform::automation::modulePathOf(&kAnchor)).absolutePath();
    const QString helpFile = QDir(folder).filePath(kHelpFileName);
    if (QFileInfo::exists(helpFile)) {
        try {
            platform::launcher().start(QStringLiteral("xdg-open"), {helpFile});
            return;
        } catch (const kelvane::RuntimeError&) {
        }
    }
    platform::ui().messageBox(QStringLiteral("Unable to open the help file %1.").arg(helpFile),
                              platform::msgbox::OKOnly | platform::msgbox::Exclamation, windowTitle());
}

void showAboutDialog(const QString& productName)
{
    // A host without widgets gets the same words in a message box.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        platform::ui().messageBox(QStringLiteral("%1 Version %2 [Build %3]").arg(productName, AboutDialog::kVersion).arg(AboutDialog::kBuild),
                                  platform::msgbox::OKOnly | platform::msgbox::Information,
                                  QStringLiteral("About %1...").arg(productName));
        return;
    }
    AboutDialog dialog(productName);
    dialog.exec();
}

} // namespace kelvane::plexant
