#include "model/AbstractKnowledgeBase.h"
#include "model/basGlobal.h"
#include "network/clsNetwork.h"
#include "shell/AbstractKnowledgeBaseHost.h"

namespace kelvane {

namespace {

class DocumentKnowledgeBase : public AbstractKnowledgeBase {
public:
    explicit DocumentKnowledgeBase(std::shared_ptr<clsNetwork> network) : m_network(std::move(network)) {}

    std::shared_ptr<AbstractNetwork> Network() override
    {
        if (!m_network)
            m_network = clsNetwork::create();
        return m_network;
    }
    bool AutoAnswer() override { return m_network && m_network->AutoAnswer; }

private:
    std::shared_ptr<clsNetwork> m_network;
};

} // namespace

void NeutralKnowledgeBaseHost::CreateKnowledgeBase(const std::shared_ptr<clsNetwork>& network, const QString&)
{
    basGlobal::CurrentKnowledgeBase = std::make_shared<DocumentKnowledgeBase>(network);
}

void NeutralKnowledgeBaseHost::ReleaseKnowledgeBase()
{
    basGlobal::CurrentKnowledgeBase.reset();
}

} // namespace kelvane
