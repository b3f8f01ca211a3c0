#pragma once

#include "model/Node.h"
#include "model/TextLabel.h"
#include "model/basGlobal.h"
#include "model/basLibrary.h"
#include "network/clsNetwork.h"
#include "platform/Service.h"
#include "platform/doubles/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvane::test {

// Tests of the network readers: scripted UI services, and the common error reporter
// showing its message boxes so that reported failures can be seen. The shared values a
// reader consults are put back after each test.
class NetworkReadTest : public ::testing::Test {
protected:
    NetworkReadTest() { basLibrary::DebugMode = true; }
    ~NetworkReadTest() override
    {
        basLibrary::DebugMode = false;
        basGlobal::ApplicationMode = 0;
        basGlobal::EnteredPassword.clear();
    }

    // A failure of `procedure` of the network class went to the common reporter.
    ::testing::AssertionResult reportedBy(const char* procedure) const
    {
        const QString expected = QStringLiteral("Error in routine: %1 in module: clsNetwork").arg(QLatin1String(procedure));
        for (const auto& box : ui->messageBoxes) {
            if (box.text.contains(expected))
                return ::testing::AssertionSuccess();
        }
        auto failure = ::testing::AssertionFailure() << "no report from " << procedure << "; message boxes:";
        for (const auto& box : ui->messageBoxes)
            failure << "\n  " << box.text.toStdString();
        return failure;
    }

    static std::vector<std::string> answerTexts(const Node& node)
    {
        std::vector<std::string> texts;
        for (const auto& answer : node.Answers)
            texts.push_back(answer->Text().toStdString());
        return texts;
    }

    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    std::shared_ptr<clsNetwork> network = clsNetwork::create();
};

} // namespace kelvane::test
