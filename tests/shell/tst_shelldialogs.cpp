// The dialogs the load shows: the knowledge base's splash, its introduction and the start dialog.

#include "tests/shell/ShellTestSupport.h"

#include "model/TextLabel.h"
#include "model/FontProperties.h"
#include "network/clsNetwork.h"
#include "platform/QtColour.h"
#include "shell/ProgressBarControl.h"
#include "shell/frmIntroduction.h"
#include "shell/frmSplash1.h"
#include "shell/frmViewerSplash.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace kelvane;

namespace {

std::shared_ptr<TextLabel> textLabel(const QString& text, qint16 size = 8, bool bold = false, qint32 colour = 0)
{
    auto label = std::make_shared<TextLabel>();
    label->setText(text);
    label->Font()->Name = QStringLiteral("Arial");
    label->Font()->Size = size;
    label->Font()->Bold = bold;
    label->ForeColor = colour;
    return label;
}

QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
}

class Dialogs : public test::ShellTest {};

} // namespace

TEST_F(Dialogs, TheSplashShowsATitleWithItsShadowAndClosesOnAnyKey)
{
    basGlobal::Settings.HighlightColour = platform::colours::rgb(1, 2, 3);
    frmSplash1 splash;
    for (QLabel* left : {splash.txtProductName(), splash.Label1(), splash.txtCopyright()})
        EXPECT_TRUE(left->alignment() & Qt::AlignLeft);
    EXPECT_TRUE(splash.lblAuthor()->alignment() & Qt::AlignRight);
    EXPECT_EQ(splash.Label1()->geometry().topLeft() - splash.txtProductName()->geometry().topLeft(), QPoint(2, 1));

    splash.ShowTitle(*textLabel(QStringLiteral("Engines"), 20, true, platform::colours::rgb(0, 0, 200)));
    EXPECT_EQ(splash.Label1()->text(), QStringLiteral("Engines"));
    EXPECT_TRUE(splash.Label1()->font().bold());
    EXPECT_EQ(splash.txtProductName()->palette().color(QPalette::WindowText), QColor(0, 0, 200));
    EXPECT_EQ(splash.Label1()->palette().color(QPalette::WindowText), QColor(1, 2, 3));
    splash.ShowAuthor(*textLabel({}));
    EXPECT_EQ(splash.lblAuthor()->text(), QStringLiteral("Author: "));

    splash.ShowPicture({}, platform::colours::rgb(9, 9, 9));
    EXPECT_TRUE(splash.picGraphic()->isHidden());
    EXPECT_TRUE(splash.imgLogo()->isHidden());
    splash.ShowPicture(picture(40, 10), 0);
    EXPECT_FALSE(splash.picGraphic()->isHidden());
    // A wide picture keeps its proportions: white above and below it, red at the centre.
    const QImage framed = splash.picGraphic()->pixmap().toImage();
    EXPECT_EQ(QColor(framed.pixel(framed.width() / 2, 2)), QColor(Qt::white));
    EXPECT_EQ(QColor(framed.pixel(framed.width() / 2, framed.height() / 2)), QColor(Qt::red));

    splash.show();
    QTest::keyClick(&splash, Qt::Key_A);
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(Dialogs, TheIntroductionFillsItsLabelsByTheKnowledgeBasesRules)
{
    auto network = clsNetwork::create();
    network->setName(textLabel(QStringLiteral("Engines"), 30, true, platform::colours::rgb(200, 0, 0)));
    network->setAuthor(textLabel(QStringLiteral("Ann"), 30));
    network->setCopyright(textLabel(QStringLiteral("   ")));
    network->setKBDescription(textLabel(QStringLiteral("All about engines."), 14));
    network->setVersion(QStringLiteral("2024-03-01"));

    frmIntroduction introduction(network, picture(10, 40));
    EXPECT_EQ(introduction.windowTitle(), QStringLiteral("About Engines"));
    EXPECT_EQ(introduction.lblTitle()->text(), QStringLiteral("Engines"));
    EXPECT_EQ(introduction.lblTitle()->palette().color(QPalette::WindowText), QColor(200, 0, 0));
    EXPECT_EQ(introduction.lblVersion()->text(), QStringLiteral("Author: Ann"));
    EXPECT_NE(introduction.lblVersion()->font().pointSize(), 30); // only the description takes the size
    EXPECT_EQ(introduction.lblKBDescription()->font().pointSize(), 14);
    EXPECT_TRUE(introduction.lblDescription()->text().isEmpty()); // blank copyright
    EXPECT_EQ(introduction.lblLastModified()->text(), QStringLiteral("Last Modified: 2024-03-01"));
    EXPECT_TRUE(introduction.lblDisclaimer()->text().startsWith(QStringLiteral("Warning: When using the Kelvane product")));
    for (QLabel* filled : {introduction.lblTitle(), introduction.lblVersion(), introduction.lblKBDescription()})
        EXPECT_TRUE(filled->alignment() & Qt::AlignLeft);
    EXPECT_TRUE(introduction.Image1()->isHidden());
    EXPECT_TRUE(introduction.cmdOK()->isDefault());

    introduction.show();
    QTest::keyClick(&introduction, Qt::Key_Escape); // closing without ticking stores "0"
    EXPECT_FALSE(settingvalues::introductionSuppressed(QStringLiteral("Engines")));
    EXPECT_EQ(platform::settings().getSetting(QStringLiteral("Kelvane"), QStringLiteral("Introduction"),
                                              QStringLiteral("Engines")),
              QStringLiteral("0"));
}

TEST_F(Dialogs, TheStartDialogNamesTheVersionAndRefusesAReadOnlyFile)
{
    EXPECT_EQ(frmViewerSplash::VersionText(2, 0, false), QStringLiteral("Version 2"));
    EXPECT_EQ(frmViewerSplash::VersionText(2, 5, true), QStringLiteral("Version 2.5  Debug Mode"));
    EXPECT_EQ(frmViewerSplash::BuildText(2, 5, 17), QStringLiteral("Build 2.5.17"));

    frmNavigate parent;
    frmViewerSplash start(parent);
    EXPECT_EQ(start.lblProduct()->text(), QStringLiteral("Kelvane"));
    EXPECT_FALSE(start.cmdOnLine()->isEnabled());
    EXPECT_TRUE(start.ProgressBar1()->isHidden());

    QFile::setPermissions(sample(), QFile::ReadOwner);
    dialogs->queueAnswer(sample());
    start.cmdOffline()->click();
    ASSERT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_EQ(ui->messageBoxes[0].text, sample() + QStringLiteral(" is read only"));
    EXPECT_FALSE(basGlobal::StartChoiceMade);
    EXPECT_TRUE(start.cmdOffline()->isEnabled());

    dialogs->queueAnswer(std::nullopt); // cancelled: no choice, no message
    start.cmdOffline()->click();
    EXPECT_EQ(ui->messageBoxes.size(), 1u);
    EXPECT_FALSE(basGlobal::StartChoiceMade);
}
