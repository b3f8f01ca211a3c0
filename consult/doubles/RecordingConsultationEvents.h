#pragma once

#include "consult/AbstractConsultationEvents.h"
#include "model/Node.h"
#include "model/TextLabel.h"

#include <QHash>
#include <QStringList>

namespace kelvane::doubles {

// The live knowledge-base object for tests: records every consultation event raised, in
// order, as "<event> <node name>" ("BeforeQuestion E"), and answers as scripted. An entry
// of `answers` keyed "<event> <node name>" or just "<event>" (the first wins) is what the
// handler leaves in the argument: non-zero cancels a Before event, and is the flag of an
// After event.
class RecordingConsultationEvents : public AbstractConsultationEvents {
public:
    QStringList events;
    QHash<QString, int> answers;

    void FireNodePrecondition(const std::shared_ptr<Node>& node, bool& Cancel) override
    {
        Cancel = answer(QStringLiteral("BeforePrecondition"), node, Cancel) != 0;
    }
    void FireNodeQuestion(const std::shared_ptr<Node>& node, bool& Cancel) override
    {
        Cancel = answer(QStringLiteral("BeforeQuestion"), node, Cancel) != 0;
    }
    void FireNodeAnswer(const std::shared_ptr<Node>& node, bool& Cancel) override
    {
        Cancel = answer(QStringLiteral("BeforeAnswer"), node, Cancel) != 0;
    }
    void FireNodeAfterPrecondition(const std::shared_ptr<Node>& node, qint16& flag) override
    {
        flag = qint16(answer(QStringLiteral("AfterPrecondition"), node, flag));
    }
    void FireNodeAfterQuestion(const std::shared_ptr<Node>& node, qint16& flag) override
    {
        flag = qint16(answer(QStringLiteral("AfterQuestion"), node, flag));
    }
    void FireNodeAfterAnswer(const std::shared_ptr<Node>& node, qint16& flag) override
    {
        flag = qint16(answer(QStringLiteral("AfterAnswer"), node, flag));
    }

private:
    int answer(const QString& event, const std::shared_ptr<Node>& node, int given)
    {
        const QString named = event + u' ' + (node ? node->Name()->Text() : QStringLiteral("(none)"));
        events << named;
        return answers.value(named, answers.value(event, given));
    }
};

} // namespace kelvane::doubles
