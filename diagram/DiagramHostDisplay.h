#pragma once

#include "model/AbstractHostDisplay.h"

namespace kelvane {

class ctlPelnet;

// The diagram control as its networks see it (their ParentDisplay). The control owns it
// through a std::shared_ptr and lends the networks a std::weak_ptr, so a network that
// outlives the control stops calling it.
class DiagramHostDisplay : public AbstractHostDisplay {
public:
    explicit DiagramHostDisplay(ctlPelnet& control) : m_control(control) {}

    bool Loaded() const override;
    bool Connected() const override;
    std::shared_ptr<AbstractNetwork> Network() const override;
    void UpdateButtons() override;
    void NetworkEdited() override;
    void setSplash(const PictureSource& picture) override;
    void setBackground(const PictureSource& picture) override;
    void ServerUpdate(const QString& guid, const QString& text, const QString& unused) override;

private:
    ctlPelnet& m_control;
};

} // namespace kelvane
