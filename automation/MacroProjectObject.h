#pragma once

#include <QObject>
#include <memory>

namespace kelvane {

class MacroProject;

// A knowledge base's macro project as automation callers see it (KnowledgeBase.ApcProject).
class MacroProjectObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE setName)

public:
    using Model = MacroProject;
    static constexpr const char* kClassName = "MacroProject";

    explicit MacroProjectObject(std::shared_ptr<MacroProject> project) : m_project(std::move(project)) {}
    std::shared_ptr<MacroProject> model() const { return m_project; }

    QString Name() const;
    void setName(const QString& name);

private:
    std::shared_ptr<MacroProject> m_project;
};

} // namespace kelvane
