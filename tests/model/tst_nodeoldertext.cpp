// Node records of the older text form.
#include "ModelTestSupport.h"
#include "tests/support/ErrorAssertions.h"

#include "model/FontProperties.h"
#include "model/Property.h"

using namespace kelvane;
using namespace kelvane::test;

namespace {

class NodeOlderTextTest : public ModelTest {
protected:
    std::shared_ptr<Node> read(const char* record)
    {
        auto node = std::make_shared<Node>();
        node->Network = network;
        node->FileName = QStringLiteral("C:\\kb\\cars\\car.qkb");
        QString text = QString::fromUtf8(record);
        node->SerializeIn(text);
        return node;
    }

    static QStringList answerTexts(const Node& node)
    {
        QStringList texts;
        for (const auto& answer : node.Answers)
            texts << answer->Text();
        return texts;
    }
};

} // namespace

TEST_F(NodeOlderTextTest, ReadsTextsFlagsReferencesAndPosition)
{
    const auto node = read(R"(
        NAME = "Battery<<VBCR>>flat";   ubo_guid = "01234";
        Ubo_Question is "Do the lights dim?";   Ubo_Reason = 'A weak battery';
        Ubo_Justification = "Seen<<VBCR>>twice";   COLOR = 255;
        Ubo_Default_Answer = 0.25 volts;   Ubo_No_Default = False;   Ubo_SHELL = "manual.html";
        Ubo_External = 1;   Ubo_External_GUID = "09876";   Ubo_External_Node = 3;
        Ubo_External_File = "..\engine.qkb";   Ubo_Source_Index = 4;
        Ubo_Disabled = TRUE;   Ubo_Overwritten = true;   Ubo_Answered = True;
        Node_POSITION = (2, 3);
        Text after the last statement = "ignored")");

    EXPECT_EQ(node->Name()->Text(), QStringLiteral("Battery\rflat"));
    EXPECT_EQ(node->GUID, QStringLiteral("01234"));
    EXPECT_EQ(node->Question->Text(), QStringLiteral("Do the lights dim?"));
    EXPECT_EQ(node->Reason->Text(), QStringLiteral("A weak battery"));
    EXPECT_EQ(node->Justification->Text(), QStringLiteral("Seen\rtwice"));
    EXPECT_EQ(node->Color, 255);
    EXPECT_EQ(node->Default, 0.25);
    EXPECT_FALSE(node->NoDefault);
    EXPECT_EQ(node->MoreInfo(), QStringLiteral("manual.html"));
    EXPECT_TRUE(node->External());
    EXPECT_EQ(node->ExternalGUID(), QStringLiteral("09876"));
    EXPECT_EQ(node->ExternalFile, QStringLiteral("C:\\kb\\engine.qkb")); // beside the network file
    EXPECT_EQ(node->SourceIndex(), 4);
    EXPECT_FALSE(node->Enabled());
    EXPECT_TRUE(node->Overridden());
    EXPECT_TRUE(node->Answered);
    EXPECT_EQ(node->DOT, 0.0); // marked answered without an answer stored
    EXPECT_EQ(node->LayerIndex, 2);
    EXPECT_EQ(node->NodeIndex, 3);

    EXPECT_EQ(read("Ubo_Answer = 0.75;")->Answer(), 0.75);
    EXPECT_EQ(read(R"(Ubo_External_File = "D:\other.qkb";)")->ExternalFile, QStringLiteral("D:\\other.qkb"));
}

TEST_F(NodeOlderTextTest, AnswerListsKeepTheDeclaredCountAndCleanTheirItems)
{
    EXPECT_EQ(answerTexts(*read(R"(DISCRETE[2] = {"Yes", No, Maybe};)")), (QStringList {"Yes", "No"}));
    EXPECT_EQ(answerTexts(*read("DISCRETE[3] = {Yes, No};")), (QStringList {"Yes", "No"}));
    // Written without "=", with quotes and blanks, an answer across two lines, and a second
    // list that adds to the first.
    EXPECT_EQ(answerTexts(*read("Node_DISCRETE[2] {  \"Always\"  , Now and\r\n then };\r\nDISCRETE[1]={Never};")),
              (QStringList {"Always", "Now and then", "Never"}));
}

TEST_F(NodeOlderTextTest, FontAndColourKeysFormatTheirLabels)
{
    // A name font before the name gives the label the default name until the name comes.
    EXPECT_EQ(read("Ubo_Name_Font_Size=10;")->NameLabel()->Text(), QStringLiteral("Node 0"));

    const auto node = read(R"(
        Ubo_Name_Font_Bold = True;   NAME = Starter;
        Ubo_Question_Font_Name = "Arial";   Ubo_Question_Font_Size = 12;   Ubo_Reason_Colour = 128;
        DISCRETE[2] = {Yes, No};   Ubo_Answer_2_Font_Italic = -1;)");
    EXPECT_TRUE(node->Name()->Font()->Bold);
    EXPECT_EQ(node->Name()->Text(), QStringLiteral("Starter"));
    EXPECT_EQ(node->Question->Font()->Name, QStringLiteral("Arial"));
    EXPECT_EQ(node->Question->Font()->Size, 12);
    EXPECT_EQ(node->Reason->ForeColor, 128);
    EXPECT_FALSE(node->Answers.Item(1)->Font()->Italic);
    EXPECT_TRUE(node->Answers.Item(2)->Font()->Italic);
}

TEST_F(NodeOlderTextTest, FormatOfAMissingAnswerAndARepeatedPropertyAreReportedAndSkipped)
{
    basLibrary::DebugMode = true;
    const auto node = read(R"(
        DISCRETE[1]={Yes};   Ubo_Answer_3_Font_Bold=True;   Ubo_Answer_1_Font_Bold=True;
        Ubo_Node_Property_1_Name = "Part";   Ubo_Node_Property_1_Value = "Starter motor";
        Ubo_Node_Property_7_Name = "Cost";   Ubo_Node_Property_2_Value = "120";
        Ubo_Node_Property_3_Name = "part";   Ubo_Node_Property_3_Value = "Other";)");

    EXPECT_TRUE(node->Answers.Item(1)->Font()->Bold);
    ASSERT_EQ(node->Properties.Count(), 2); // the numbers do not pair the statements; their order does
    EXPECT_EQ(node->Properties.Item(QStringLiteral("Part"))->Value.toString(), QStringLiteral("Starter motor"));
    EXPECT_EQ(node->Properties.Item(QStringLiteral("Cost"))->Value.toString(), QStringLiteral("120"));
    ASSERT_EQ(ui->messageBoxes.size(), 2u);
    EXPECT_TRUE(ui->messageBoxes[0].text.contains(QStringLiteral("Ubo_Answer_3_Font_Bold")));
    EXPECT_TRUE(ui->messageBoxes[1].text.contains(QStringLiteral("The property part")));
}

TEST_F(NodeOlderTextTest, DecimalCommaIsReadOnTheSecondTry)
{
    const auto node = read("Ubo_Source_Index = 2,5; Ubo_Question_Font_Size = 9,5;");
    EXPECT_EQ(node->SourceIndex(), 2); // halves round to even
    EXPECT_EQ(node->Question->Font()->Size, 10);
}

TEST_F(NodeOlderTextTest, StatementsThatCannotBeCarriedOutRaiseTheirError)
{
    EXPECT_EQ(errorNumberOf([&] { read("Ubo_Source_Index = many;"); }), err::TypeMismatch);
    EXPECT_EQ(errorNumberOf([&] { read("COLOR = 99999999999;"); }), err::Overflow);
    EXPECT_EQ(errorNumberOf([&] { read("POSITION=(2);"); }), err::SubscriptOutOfRange);
    EXPECT_EQ(errorNumberOf([&] { read("DISCRETE[1]={Yes}; Ubo_Answer_1=True;"); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorNumberOf([&] { read("Ubo_Node_Property_1_Value = x;"); }), err::InvalidProcedureCall);
}
