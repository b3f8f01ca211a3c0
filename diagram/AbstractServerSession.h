#pragma once

#include <QString>

namespace kelvane {

class AbstractProgressBar;

// The knowledge-server client as the diagram control calls it: reading a document, writing
// one and spooling an update. The program hands the control its session once the client
// exists; without one the control works offline (reads give nothing, updates are dropped).
// Failures are handled inside: a read that fails gives the empty text.
class AbstractServerSession {
public:
    virtual ~AbstractServerSession() = default;

    // The document with that GUID as XML text (declaration, document type, then the
    // document's network elements); empty when the server sent none.
    virtual QString ServerRead(const QString& strGUID, AbstractProgressBar* progress) = 0;

    // Posts the document text under that GUID and gives the reply's text.
    virtual QString ServerWrite(const QString& strGUID, const QString& strXML, AbstractProgressBar* progress) = 0;

    // Spools an update request for the network `strGUID` holding `strXML`; posts nothing.
    virtual void ServerUpdate(const QString& strGUID, const QString& strXML, AbstractProgressBar* progress) = 0;
};

} // namespace kelvane
