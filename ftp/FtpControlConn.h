#pragma once

#include "ftp/LineConn.h"

namespace kelvane::ftp {

class CFTPCtrl;

// The FTP control connection: reply lines end at a carriage return or a line feed; its
// notifications become the control's trace and Error events, and every step of a reply wait
// sends the next block of an upload.
class CFTPControlConn : public CLineConn {
public:
    explicit CFTPControlConn(CFTPCtrl& ftp);

protected:
    void onConnected(int code) override;
    void onDisconnected(int code) override;
    void onError(int code, const QString& text) override;
    int waitStep(bool& busy) override;

private:
    CFTPCtrl& m_ftp;
};

} // namespace kelvane::ftp
