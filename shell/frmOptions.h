#pragma once

#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace kelvane {

class ctlPelnet;

// The options dialog: the six display colours, automatic answering and showing answers, and
// the knowledge server's address, user name and password. Apply (and OK) put the values into
// the program's settings, redraw the diagram and save the settings. Opened without a running
// main window (no diagram), the answer boxes are hidden and their page is switched off.
class frmOptions : public QDialog {
public:
    // `diagram` is the main window's diagram control, or null when the main window is not running.
    explicit frmOptions(ctlPelnet* diagram, QWidget* parent = nullptr);

    // The colours in the order of their swatches: background, node, highlight, shadow,
    // positive impact, negative impact.
    enum Colour { Background, Node, Highlight, Shadow, Positive, Negative };
    static constexpr int kColourCount = 6;

    QTabWidget* SSTab1() const { return m_SSTab1; }
    QLabel* Swatch(Colour colour) const { return m_swatches[colour]; }
    QPushButton* ColourButton(Colour colour) const { return m_colourButtons[colour]; }
    qint32 SwatchColour(Colour colour) const { return m_colours[colour]; }
    QCheckBox* chkAutoAnswer() const { return m_chkAutoAnswer; }
    QCheckBox* chkShowAnswer() const { return m_chkShowAnswer; }
    QLineEdit* txtServer() const { return m_txtServer; }
    QLineEdit* txtUserName() const { return m_txtUserName; }
    QLineEdit* txtPassword() const { return m_txtPassword; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }
    QPushButton* cmdApply() const { return m_cmdApply; }
    QPushButton* cmdHelp() const { return m_cmdHelp; }

    // The dialog's help topic.
    static constexpr int kHelpContextID = 536;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    QWidget* createColourPage();
    QWidget* createAnswerPage();
    void Form_Load();
    bool mainWindowRunning() const;
    void chooseColour(Colour colour);
    void setSwatch(Colour colour, qint32 value);
    void Apply();
    void cmdOK_Click();
    void cmdHelp_Click();

    ctlPelnet* m_diagram;
    QTabWidget* m_SSTab1 = nullptr;
    std::array<qint32, kColourCount> m_colours {};
    std::array<QLabel*, kColourCount> m_swatches {};
    std::array<QLabel*, kColourCount> m_colourLabels {};
    std::array<QPushButton*, kColourCount> m_colourButtons {};
    QCheckBox* m_chkAutoAnswer = nullptr;
    QCheckBox* m_chkShowAnswer = nullptr;
    QLineEdit* m_txtServer = nullptr;
    QLineEdit* m_txtUserName = nullptr;
    QLineEdit* m_txtPassword = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdApply = nullptr;
    QPushButton* m_cmdHelp = nullptr;
};

} // namespace kelvane
