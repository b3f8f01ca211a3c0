#pragma once

#include "NetworkBuilder.h"

#include "model/FontProperties.h"
#include "model/basGlobal.h"
#include "model/basLibrary.h"
#include "model/clsControl.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <memory>

namespace kelvane::test {

// A network builder for drawing tests that puts the shared application values it changes
// (settings, application mode, default font name, debug mode) back after each test.
class DrawingTest : public ::testing::Test {
protected:
    ~DrawingTest() override
    {
        basGlobal::Settings = {};
        basGlobal::ApplicationMode = 0;
        basGlobal::DefaultFontName = QStringLiteral("MS Sans Serif");
        basLibrary::DebugMode = false;
    }

    // Links `from` to its evidence node `to` through the network and returns the new link.
    std::shared_ptr<Link> addLink(const std::shared_ptr<Node>& from, const std::shared_ptr<Node>& to)
    {
        EXPECT_TRUE(network.AddLink(from, to));
        return from->Links().Item(from->Links().Count());
    }

    NetworkBuilder build;
    clsNetwork& network = *build.network;
};

// Gives the node answer options, the first standing for true and the last for false.
inline void giveAnswers(Node& node, const QStringList& texts)
{
    for (const QString& text : texts) {
        auto answer = std::make_shared<TextLabel>();
        answer->setText(text);
        node.Answers.Add(std::move(answer));
    }
}

// Marks the node answered with the degree of truth, without propagating it.
inline void answer(Node& node, double dot)
{
    node.Answered = true;
    node.DOT = dot;
}

// Turns one of the reserved controls ("IRRELEVANT", "NEED INFO") on.
inline void switchOn(Node& node, const QString& controlName)
{
    auto control = std::make_shared<clsControl>();
    control->Name = controlName;
    control->Value = QStringLiteral("TRUE");
    node.Controls().Add(std::move(control));
}

} // namespace kelvane::test
