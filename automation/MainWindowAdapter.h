#pragma once

#include "automation/KnowledgeBaseWindow.h"

#include <QPointer>

namespace kelvane {

class frmNavigate;

// The program's main window frmNavigate as the knowledge base and the macro host reach it.
// Once the window is gone, the members do nothing (the control's members raise ObjectNotSet).
class MainWindowAdapter : public KnowledgeBaseWindow {
public:
    explicit MainWindowAdapter(frmNavigate& window);

    ctlPelnet& ctlPelnet1() override;
    AbstractProgressBar* ProgressBar1() override;
    QWidget& widget() override;
    QString StatusText() override;
    void setStatusText(const QString& text) override;
    void showAt(const QRect& twips) override;
    void hide() override;
    void PopulateToolsMenu() override;
    void PopulateReportsMenu() override;
    void Unload() override;
    bool loading() const override;
    bool unloaded() const override;
    bool SaveDocument() override;
    bool SaveDocumentAs(const QString& fileName) override;

private:
    frmNavigate& window() const;

    QPointer<frmNavigate> m_window;
};

} // namespace kelvane
