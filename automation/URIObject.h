#pragma once

#include "model/URI.h"

#include <QObject>
#include <memory>

namespace kelvane::automation {

// One link inside a text label: its target and where its link text lies.
class URIObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString URI READ URI WRITE setURI)
    Q_PROPERTY(qint32 SelStart READ SelStart WRITE setSelStart)
    Q_PROPERTY(qint32 SelLength READ SelLength WRITE setSelLength)

public:
    using Model = kelvane::URI;
    static constexpr const char* kClassName = "URI";

    URIObject() : m_uri(std::make_shared<kelvane::URI>()) {}
    explicit URIObject(std::shared_ptr<kelvane::URI> uri) : m_uri(std::move(uri)) {}
    std::shared_ptr<kelvane::URI> model() const { return m_uri; }

    QString URI() const { return m_uri->URI; }
    void setURI(const QString& value) { m_uri->URI = value; }
    qint32 SelStart() const { return m_uri->SelStart; }
    void setSelStart(qint32 value) { m_uri->SelStart = value; }
    qint32 SelLength() const { return m_uri->SelLength; }
    void setSelLength(qint32 value) { m_uri->SelLength = value; }

private:
    std::shared_ptr<kelvane::URI> m_uri;
};

} // namespace kelvane::automation
