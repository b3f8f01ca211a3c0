// Node::SerializeIn: one node record of the older text form.

#include "model/FontProperties.h"
#include "model/Node.h"
#include "model/Property.h"
#include "model/TextLabel.h"
#include "model/basLibrary.h"
#include "model/oldtext/OlderTextProperties.h"
#include "model/oldtext/OlderTextStatement.h"

namespace kelvane {

namespace {

constexpr char kModule[] = "Node";
const QString kAnswerPrefix = QStringLiteral("Ubo_Answer_");

std::shared_ptr<TextLabel> madeOnFirstUse(std::shared_ptr<TextLabel>& label)
{
    if (!label)
        label = std::make_shared<TextLabel>();
    return label;
}

} // namespace

// The statements that need more than one field of the node, and the families of numbered
// keys, are applied here in the order the record form defines.
void Node::SerializeIn(QString& SourceText)
{
    OlderTextProperties properties(QStringLiteral("Ubo_Node_Property_"), kModule);

    const auto applyKeyTable = [this](const OlderTextStatement& s) {
        const QString& value = s.value();
        if (s.is(u"COLOR"))
            Color = OlderTextStatement::toLong(value);
        else if (s.is(u"NAME"))
            Name()->setText(OlderTextStatement::withLineBreaks(value));
        else if (s.is(u"Ubo_GUID"))
            GUID = value;
        else if (s.is(u"Ubo_Question"))
            madeOnFirstUse(Question)->setText(OlderTextStatement::withLineBreaks(value));
        else if (s.is(u"Ubo_Reason"))
            madeOnFirstUse(Reason)->setText(OlderTextStatement::withLineBreaks(value));
        else if (s.is(u"Ubo_Default_Answer"))
            Default = OlderTextStatement::scanNumber(value);
        else if (s.is(u"Ubo_No_Default"))
            NoDefault = OlderTextStatement::toBoolean(value);
        else if (s.is(u"Ubo_SHELL"))
            setMoreInfo(value);
        else if (s.is(u"Ubo_External"))
            setExternal(OlderTextStatement::toBoolean(value));
        else if (s.is(u"Ubo_External_File"))
            ExternalFile = OlderTextStatement::pathBeside(FileName, value);
        else if (s.is(u"Ubo_External_Node") || s.is(u"Ubo_External_Layer") || s.is(u"Ubo_External_Index")) {
            // written by older versions; the GUID identifies the node now
        } else if (s.is(u"Ubo_External_GUID"))
            setExternalGUID(value);
        else if (s.is(u"Ubo_Justification"))
            madeOnFirstUse(Justification)->setText(OlderTextStatement::withLineBreaks(value));
        else if (s.is(u"Ubo_Source_Index"))
            setSourceIndex(OlderTextStatement::toInteger(value));
        else if (s.is(u"Ubo_Disabled"))
            setEnabled(!OlderTextStatement::toBoolean(value));
        else if (s.is(u"Ubo_Answered"))
            Answered = OlderTextStatement::toBoolean(value);
        else if (s.is(u"Ubo_Overwritten"))
            setOverridden(OlderTextStatement::toBoolean(value));
        else if (s.is(u"Ubo_Answer"))
            setAnswer(OlderTextStatement::scanNumber(value));
        else if (s.is(u"Ubo_Node_Properties"))
            Properties = {};
        else if (!s.setsLabelFormat(QStringLiteral("Ubo_Name"), QStringLiteral("Ubo_Name_Font_Name"), [this] { return Name(); })
                 && !s.setsLabelFormat(QStringLiteral("Ubo_Question"), QStringLiteral("Ubo_Question_Font_Name"),
                                       [this] { return madeOnFirstUse(Question); }))
            s.setsLabelFormat(QStringLiteral("Ubo_Reason"), QStringLiteral("Ubo_Reason_Font_Name"),
                              [this] { return madeOnFirstUse(Reason); });
    };

    const auto applyAnswerList = [this](const OlderTextStatement& s) {
        const QString& key = s.key();
        const QString count = key.left(key.indexOf(u']'));
        const qsizetype open = count.indexOf(u'[');
        if (open < 0 || !key.contains(u']'))
            raiseError(err::TypeMismatch, QStringLiteral("The answer list %1 lacks its count in brackets.").arg(key));
        const qint16 declared = OlderTextStatement::toInteger(count.mid(open + 1));
        QString list = basLibrary::TextBetween(s.text(), u'{', u'}');
        list.remove(u'\r');
        list.remove(u'\n');
        QStringList items = basLibrary::SplitDoubleQuoted(list, u',', false);
        while (items.size() > std::max<qsizetype>(declared, 0))
            items.removeLast();
        for (const QString& item : items) {
            auto answer = std::make_shared<TextLabel>();
            answer->setText(basLibrary::TrimBlanks(QString(item).remove(u'"')));
            Answers.Add(answer);
        }
    };

    const auto applyPosition = [this](const OlderTextStatement& s) {
        const QStringList numbers = basLibrary::TextBetween(s.quotedValue(), u'(', u')').split(u',');
        if (numbers.size() < 2)
            raiseError(err::SubscriptOutOfRange, QStringLiteral("The position %1 lacks layer and place.").arg(s.quotedValue()));
        LayerIndex = OlderTextStatement::toInteger(numbers[0]);
        NodeIndex = OlderTextStatement::toInteger(numbers[1]);
    };

    const auto applyAnswerFormat = [this](const OlderTextStatement& s) {
        const qint16 number = s.familyNumber(kAnswerPrefix.size());
        if (number < 1 || number > Answers.Count()) {
            basLibrary::ReportError(QString::fromLatin1(kModule), QStringLiteral("SerializeIn"),
                                    RuntimeError(err::SubscriptOutOfRange,
                                                 QStringLiteral("The key %1 names no answer of the node; it is skipped.")
                                                     .arg(s.key())));
            return;
        }
        const QString prefix = kAnswerPrefix + QString::number(number);
        const auto answer = Answers.Item(number);
        s.setsLabelFormat(prefix, prefix + QStringLiteral("_Font_Name"), [&answer] { return answer; });
    };

    for (const QString& text : OlderTextStatement::split(SourceText)) {
        OlderTextStatement::carryOut(text, [&](const OlderTextStatement& s) {
            applyKeyTable(s);
            if (s.mentions(u"DISCRETE"))
                applyAnswerList(s);
            else if (s.mentions(u"POSITION"))
                applyPosition(s);
            properties.apply(s, Properties);
            if (s.mentions(kAnswerPrefix))
                applyAnswerFormat(s);
        });
    }
}

} // namespace kelvane
