#pragma once

#include "diagram/AbstractServerSession.h"

#include <QString>
#include <map>
#include <vector>

namespace kelvane::doubles {

// A knowledge-server session for tests: reads answer from the documents it holds by GUID
// (the empty text for others); writes and updates are recorded.
class ScriptedServerSession : public AbstractServerSession {
public:
    struct Call {
        QString guid;
        QString xml;
    };

    std::map<QString, QString> documents;
    std::vector<QString> reads;
    std::vector<Call> writes;
    std::vector<Call> updates;

    QString ServerRead(const QString& strGUID, AbstractProgressBar*) override
    {
        reads.push_back(strGUID);
        const auto found = documents.find(strGUID);
        return found == documents.end() ? QString() : found->second;
    }
    QString ServerWrite(const QString& strGUID, const QString& strXML, AbstractProgressBar*) override
    {
        writes.push_back({strGUID, strXML});
        return {};
    }
    void ServerUpdate(const QString& strGUID, const QString& strXML, AbstractProgressBar*) override
    {
        updates.push_back({strGUID, strXML});
    }
};

} // namespace kelvane::doubles
