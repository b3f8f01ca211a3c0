#pragma once

#include "model/Page.h"
#include "platform/automation/DispatchObject.h"

#include <QObject>

namespace kelvane::automation {

// One network of the open knowledge base as automation callers and macro code see it.
class PageObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString GUID READ GUID)
    Q_PROPERTY(platform::automation::DispatchObject Layers READ Layers)

public:
    using Model = kelvane::Page;
    static constexpr const char* kClassName = "Page";

    PageObject() : m_page(std::make_shared<kelvane::Page>()) {}
    explicit PageObject(std::shared_ptr<kelvane::Page> page) : m_page(std::move(page)) {}
    std::shared_ptr<kelvane::Page> model() const { return m_page; }

    QString GUID() const { return m_page->GUID(); }
    platform::automation::DispatchObject Layers() const;

private:
    std::shared_ptr<kelvane::Page> m_page;
};

} // namespace kelvane::automation
