#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <memory>

class QLabel;
class QPushButton;

namespace kelvane {

class clsNetwork;

// What the introduction screen and the About box share: a modal window of fixed size with the
// knowledge base's picture frame, its name, author, copyright, last change and description in
// the knowledge base's own fonts and colours, a fixed warning, two etched rules, OK (default and
// cancel button) and a second button below it.
class KnowledgeBaseInfoDialog : public QDialog {
public:
    QLabel* lblTitle() const { return m_lblTitle; }
    QLabel* lblVersion() const { return m_lblVersion; }
    QLabel* lblDescription() const { return m_lblDescription; }
    QLabel* lblLastModified() const { return m_lblLastModified; }
    QLabel* lblKBDescription() const { return m_lblKBDescription; }
    QLabel* lblDisclaimer() const { return m_lblDisclaimer; }
    QLabel* picGraphic() const { return m_picGraphic; }
    QLabel* Image1() const { return m_Image1; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdSysInfo() const { return m_cmdSysInfo; }

    // A place of the design, in twips.
    struct Place {
        int left, top, width, height;
    };
    // A line of an etched rule: from x `left` to `right` at `y` (twips).
    struct Rule {
        int left, right, y;
    };
    // The design of one of the windows.
    struct Design {
        const char* name;
        int clientWidth, clientHeight;
        Place picGraphic, Image1, lblTitle, lblVersion, lblDescription, lblLastModified, lblKBDescription, lblDisclaimer,
            cmdOK, cmdSysInfo;
        QString sysInfoCaption;
        // Shadow, highlight, shadow, highlight.
        std::array<Rule, 4> rules;
    };

protected:
    KnowledgeBaseInfoDialog(const Design& design, std::shared_ptr<clsNetwork> network, QWidget* parent);

    // Centres the window, left-aligns the filled labels and fills them from the network's texts,
    // each in the text's font (its size for the description only) and colour; the caption becomes
    // "About " and the name. A step that fails is skipped (reported under `module`).
    void FillLabels(const char* module);

    // A word-wrapped label at a place of the design; right-aligned until it is filled.
    static QLabel* MakeLabel(QWidget* parent, const char* name, const Place& place);
    static QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const Place& place);

    std::shared_ptr<clsNetwork> m_network;

private:
    QLabel* m_picGraphic = nullptr;
    QLabel* m_Image1 = nullptr;
    QLabel* m_lblTitle = nullptr;
    QLabel* m_lblVersion = nullptr;
    QLabel* m_lblDescription = nullptr;
    QLabel* m_lblLastModified = nullptr;
    QLabel* m_lblKBDescription = nullptr;
    QLabel* m_lblDisclaimer = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdSysInfo = nullptr;
};

} // namespace kelvane
