#pragma once

#include <QImage>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace kelvane {

class ProgressBarControl;
class TextLabel;

// The splash of an opened knowledge base: its title (shown with a shadow: the same text twice,
// the highlight-coloured copy a little to the right and below), its author, its copyright line
// and its picture. The main window fills it after opening a document, shows it for just over a
// second and hides it again; any key closes it at once.
class frmSplash1 : public QWidget {
public:
    explicit frmSplash1(QWidget* parent = nullptr);

    QLabel* txtProductName() const { return m_txtProductName; }
    QLabel* Label1() const { return m_Label1; }
    QLabel* lblAuthor() const { return m_lblAuthor; }
    QLabel* txtCopyright() const { return m_txtCopyright; }
    QLineEdit* Text1() const { return m_Text1; }
    QLabel* imgLogo() const { return m_imgLogo; }
    QLabel* picGraphic() const { return m_picGraphic; }
    QLabel* Picture1() const { return m_Picture1; }
    ProgressBarControl* ProgressBar1() const { return m_ProgressBar1; }

    // The title: both title labels take the name label's text and font; the front one also its
    // colour.
    void ShowTitle(TextLabel& name);
    // The picture centred in the frame on white, keeping its proportions; without one (a null
    // picture) the splash, the frame's place and the logo give way to the back colour.
    void ShowPicture(const QImage& picture, qint32 backColour);
    void ShowCopyright(TextLabel& copyright);
    void ShowAuthor(TextLabel& author);

    // Client area in twips, the unit the form was designed in.
    static constexpr int kClientWidth = 6900;
    static constexpr int kClientHeight = 3900;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();

    QLabel* m_picGraphic = nullptr; // the picture frame
    QLabel* m_Picture1 = nullptr;   // holds the picture while it is measured; hidden
    QLabel* m_imgLogo = nullptr;
    QLabel* m_Label1 = nullptr; // behind the title, its shadow
    QLabel* m_txtProductName = nullptr;
    QLabel* m_lblAuthor = nullptr;
    QLabel* m_txtCopyright = nullptr;
    QLineEdit* m_Text1 = nullptr;
    ProgressBarControl* m_ProgressBar1 = nullptr;
};

} // namespace kelvane
