#pragma once

#include "model/Link.h"
#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "model/basLibrary.h"
#include "model/clsControl.h"
#include "model/doubles/TestNetwork.h"
#include "platform/doubles/ScriptedUiServices.h"
#include "tests/support/QStringPrinter.h"

#include <gtest/gtest.h>
#include <functional>
#include <initializer_list>

namespace kelvane::test {

// UI services whose yield can run a handler, the way the message loop runs one while a
// propagation waits.
class YieldingUiServices : public platform::doubles::ScriptedUiServices {
public:
    std::function<void()> onYield;
    void yield() override
    {
        ScriptedUiServices::yield();
        if (onYield)
            onYield();
    }
};

// A fresh test network, scripted UI services, and the shared application values put back
// after each test.
class ModelTest : public ::testing::Test {
protected:
    ~ModelTest() override
    {
        basGlobal::Settings = {};
        basGlobal::CurrentKnowledgeBase.reset();
        basGlobal::NarratorSelecting = false;
        basLibrary::DebugMode = false;
    }

    platform::ScopedService<platform::UiServices, YieldingUiServices> ui;
    std::shared_ptr<doubles::TestNetwork> network = doubles::TestNetwork::create();
};

inline std::shared_ptr<TextLabel> label(const QString& html)
{
    auto result = std::make_shared<TextLabel>();
    result->HTML = html;
    return result;
}

inline void setAnswerTexts(Node& node, std::initializer_list<const char*> texts)
{
    node.Answers.Clear();
    for (const char* text : texts)
        node.Answers.Add(label(QString::fromUtf8(text)));
}

inline std::shared_ptr<clsControl> addControl(Node& node, const QString& name, const QString& value,
                                              const QString& defaultValue = {})
{
    auto control = std::make_shared<clsControl>();
    control->Name = name;
    control->Value = value;
    control->Default = defaultValue;
    node.Controls().Add(control);
    return control;
}

// Stores an answer without propagating it.
inline void answerQuietly(Node& node, double value)
{
    node.DOT = value;
    node.Answered = true;
}

inline void setWeights(Link& link, double weightDeny, double weight, double weightAffirm)
{
    link.WeightDeny = weightDeny;
    link.Weight = weight;
    link.WeightAffirm = weightAffirm;
}

} // namespace kelvane::test
