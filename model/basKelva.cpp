#include "model/basKelva.h"

#include "model/Node.h"
#include "model/TextLabel.h"

namespace basKelva {

double CalculateAnswer(const NodePtr& node, bool Quiet)
{
    return 0.5;
}

void PropogateAnswer(const NodePtr& node)
{
    if (node)
        node->Answered = true;
}

void UnanswerParents(const NodePtr& node) {}
void UpdateDOTParents(const NodePtr& node) {}
void AutoAnswerParents(const NodePtr& node) {}
void UpdateDOTChildren(const NodePtr& node) {}

QString GetAnswer(const NodePtr& node, double value)
{
    return {};
}

std::shared_ptr<kelvane::TextLabel> GetAnswerObject(const NodePtr& node, double value)
{
    return nullptr;
}

} // namespace basKelva
