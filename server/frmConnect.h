#pragma once

#include "server/FolderListing.h"

#include <QDialog>
#include <QIcon>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kelvane {

// The knowledge server's folders and knowledge bases as a tree, for the user to pick a
// knowledge base: the root is the server's address, folders hold folders and knowledge
// bases. OK is enabled only while a knowledge base is selected; it closes the browser with
// that knowledge base's GUID and its path in the tree ("server/folder/knowledge base").
class frmConnect : public QDialog {
    Q_OBJECT

public:
    // Images of the tree's nodes.
    enum Image { FolderImage = 1, FileImage = 2 };

    // `serverURL` names the root; `xml` is the server's folder listing.
    frmConnect(const QString& serverURL, const QString& xml, QWidget* parent = nullptr);

    QTreeWidget* TreeView1() const { return m_TreeView1; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

    // The knowledge base chosen with OK: its GUID and its path; empty before.
    QString ChosenGUID() const { return m_chosenGUID; }
    QString ChosenPath() const { return m_chosenPath; }

    // The node's key (a new GUID for a folder, the knowledge base's GUID for a file) and image.
    static QString KeyOf(const QTreeWidgetItem& node);
    static int ImageOf(const QTreeWidgetItem& node);

private:
    void Form_Load(const QString& serverURL, const QString& xml);
    void DisplayFolder(QTreeWidgetItem& node, const ServerFolder& folder);
    // A node not yet in the tree.
    QTreeWidgetItem* newNode(const QString& key, const QString& text, Image image) const;
    void TreeView1_NodeClick();
    void cmdOK_Click();

    QTreeWidget* m_TreeView1 = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdMkdir = nullptr;
    QIcon m_images[FileImage + 1];
    QString m_chosenGUID;
    QString m_chosenPath;
};

} // namespace kelvane
