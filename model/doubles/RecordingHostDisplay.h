#pragma once

#include "model/AbstractHostDisplay.h"

#include <QString>
#include <vector>

namespace kelvane::doubles {

// A host display for tests: answers from its public fields and records every call.
class RecordingHostDisplay : public AbstractHostDisplay {
public:
    struct ServerUpdateCall {
        QString guid;
        QString text;
        QString unused;
    };

    bool loaded = false;
    bool connected = false;
    std::shared_ptr<AbstractNetwork> network;

    int updateButtonsCalls = 0;
    std::vector<PictureSource> splashes;
    std::vector<PictureSource> backgrounds;
    std::vector<ServerUpdateCall> serverUpdates;

    bool Loaded() const override { return loaded; }
    bool Connected() const override { return connected; }
    std::shared_ptr<AbstractNetwork> Network() const override { return network; }
    void UpdateButtons() override { ++updateButtonsCalls; }
    void setSplash(const PictureSource& picture) override { splashes.push_back(picture); }
    void setBackground(const PictureSource& picture) override { backgrounds.push_back(picture); }
    void ServerUpdate(const QString& guid, const QString& text, const QString& unused) override
    {
        serverUpdates.push_back({guid, text, unused});
    }
};

} // namespace kelvane::doubles
