#include "consult/ConsultationDialog.h"

#include "answercontrols/Twips.h"
#include "consult/ConsultationFlow.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "model/basLibrary.h"
#include "platform/QtFont.h"
#include "platform/gui/PlainText.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace kelvane {

namespace {

// The title bar and borders, which the designed outer heights include.
constexpr double kNonClientHeight = 420;

} // namespace

ConsultationDialog::ConsultationDialog(QWidget* parent, const char* moduleName, int helpTopic, double clientWidth,
                                       double clientHeight)
    : QDialog(parent), m_moduleName(moduleName)
{
    setObjectName(QString::fromLatin1(moduleName));
    setProperty("HelpContextID", helpTopic);
    resize(twips::toPixels(clientWidth), twips::toPixels(clientHeight));
    setModal(false);
    platform::FontDescription font;
    font.name = basGlobal::DefaultFontName;
    setFont(platform::toQFont(font));
}

void ConsultationDialog::Show()
{
    if (m_unloaded)
        return;
    if (!m_loaded) {
        m_loaded = true;
        run("Form_Load", [this] { Form_Load(); });
        // A load that failed part of the way still shows what it built, so the user can
        // leave the dialog through its buttons.
        if (!m_unloaded)
            show();
        return;
    }
    show();
    raise();
    activateWindow();
}

void ConsultationDialog::Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    trappedVoid(m_moduleName, "Form_Unload", [this] { Form_Unload(); });
    hide();
    deleteLater();
}

void ConsultationDialog::showNodeCaption(const QString& suffix)
{
    const QString name = basLibrary::ReplaceAll(node->Name()->Text(), QStringLiteral("\r"), QStringLiteral(" "));
    platform::gui::setPlainWindowTitle(*this, name + suffix);
}

double ConsultationDialog::Height() const { return twips::fromPixels(height()) + kNonClientHeight; }

void ConsultationDialog::setHeight(double height)
{
    resize(width(), twips::toPixels(std::max(0.0, height - kNonClientHeight)));
}

void ConsultationDialog::place(QWidget& control, double left, double top, double width, double height)
{
    control.setGeometry(twips::toPixels(left), twips::toPixels(top), twips::toPixels(width), twips::toPixels(height));
}

QPushButton* ConsultationDialog::commandButton(QWidget* parent, const char* name, double left, double top, double width,
                                              double height)
{
    auto* command = control<QPushButton>(parent, name, left, top, width, height);
    command->setAutoDefault(false);
    return command;
}

void ConsultationDialog::frameIcon(QGroupBox& frame, QStyle::StandardPixmap picture)
{
    auto* icon = new QLabel(&frame);
    icon->setPixmap(frame.style()->standardIcon(picture).pixmap(24, 24));
    place(*icon, 180, 150, 360, 360);
}

QList<ConsultationDialog*> ConsultationDialog::loadedDialogs(QWidget& mainWindow)
{
    QList<ConsultationDialog*> loaded = mainWindow.findChildren<ConsultationDialog*>(Qt::FindDirectChildrenOnly);
    loaded.removeIf([](const ConsultationDialog* dialog) { return dialog->isUnloaded(); });
    return loaded;
}

void ConsultationDialog::closeEvent(QCloseEvent* event)
{
    // The dialog unloads itself through its own way out; a close box that fails there
    // still unloads it, so no window is left waiting for a dialog that is gone.
    event->ignore();
    if (m_unloaded || m_busy)
        return;
    if (!handleInput("Form_QueryUnload", [this] { closeBox(); }) && !m_unloaded) {
        Unload();
        afterFailure();
    }
}

void ConsultationDialog::showEvent(QShowEvent* event)
{
    // A child window of a disabled main window starts disabled too.
    if (!isEnabled())
        setEnabled(true);
    QDialog::showEvent(event);
}

void ConsultationDialog::afterFailure() { basKelva::EnableMainWindowWhenIdle(); }

} // namespace kelvane
