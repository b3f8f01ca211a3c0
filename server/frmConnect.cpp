#include "server/frmConnect.h"

#include "forms/WidgetFormWindow.h"
#include "model/basLibrary.h"
#include "platform/UiServices.h"

#include <QApplication>
#include <QPushButton>
#include <QStyle>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <memory>

namespace kelvane {

namespace {

enum Role { KeyRole = Qt::UserRole, ImageRole };

QRect twips(int left, int top, int width, int height)
{
    const auto px = [](int value) { return qRound(value / WidgetFormWindow::kTwipsPerPixel); };
    return {px(left), px(top), px(width), px(height)};
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& place)
{
    auto* made = new QPushButton(caption, parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setGeometry(place);
    made->setAutoDefault(false);
    return made;
}

} // namespace

frmConnect::frmConnect(const QString& serverURL, const QString& xml, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmConnect"));
    setWindowTitle(platform::applicationTitle());
    setFixedSize(twips(0, 0, 5535, 5160).size());

    m_TreeView1 = new QTreeWidget(this);
    m_TreeView1->setObjectName(QStringLiteral("TreeView1"));
    m_TreeView1->setGeometry(twips(120, 120, 5295, 4320));
    m_TreeView1->setHeaderHidden(true);
    connect(m_TreeView1, &QTreeWidget::currentItemChanged, this, [this] { TreeView1_NodeClick(); });

    m_cmdOK = button(this, "cmdOK", QStringLiteral("OK"), twips(2160, 4575, 1035, 375));
    m_cmdOK->setDefault(true);
    m_cmdOK->setEnabled(false);
    connect(m_cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    m_cmdCancel = button(this, "cmdCancel", QStringLiteral("Cancel"), twips(3285, 4575, 1035, 375));
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    // Making folders on the server is not offered.
    m_cmdMkdir = button(this, "cmdMkdir", QStringLiteral("New Folder"), twips(4380, 4575, 1035, 375));
    m_cmdMkdir->setEnabled(false);

    Form_Load(serverURL, xml);
}

void frmConnect::Form_Load(const QString& serverURL, const QString& xml)
{
    WidgetFormWindow form(*this);
    basLibrary::CentreForm(form);
    m_images[FolderImage] = style()->standardIcon(QStyle::SP_DirIcon);
    m_images[FileImage] = style()->standardIcon(QStyle::SP_FileIcon);

    // The whole tree is built apart from the view and handed to it in one step: a listing of
    // thousands of knowledge bases then costs the view one insertion, not one for each node.
    auto root = std::unique_ptr<QTreeWidgetItem>(newNode(basLibrary::NewGUIDString(), serverURL, FolderImage));
    DisplayFolder(*root, ReadFolderListing(xml));
    const QSignalBlocker quiet(m_TreeView1);
    m_TreeView1->addTopLevelItem(root.get());
    root.release()->setExpanded(true);
}

void frmConnect::DisplayFolder(QTreeWidgetItem& node, const ServerFolder& folder)
{
    QList<QTreeWidgetItem*> children;
    children.reserve(folder.Folders.size() + folder.Files.size());
    for (const ServerFolder& subfolder : folder.Folders) {
        children.append(newNode(basLibrary::NewGUIDString(), subfolder.Name, FolderImage));
        DisplayFolder(*children.last(), subfolder);
    }
    for (const ServerFile& file : folder.Files)
        children.append(newNode(file.GUID, file.Name, FileImage));
    node.addChildren(children);
}

QTreeWidgetItem* frmConnect::newNode(const QString& key, const QString& text, Image image) const
{
    auto* node = new QTreeWidgetItem(QStringList {text});
    node->setData(0, KeyRole, key);
    node->setData(0, ImageRole, int(image));
    node->setIcon(0, m_images[image]);
    return node;
}

QString frmConnect::KeyOf(const QTreeWidgetItem& node) { return node.data(0, KeyRole).toString(); }

int frmConnect::ImageOf(const QTreeWidgetItem& node) { return node.data(0, ImageRole).toInt(); }

namespace {

// A knowledge base that can be opened: a file node with a GUID.
bool isDocument(const QTreeWidgetItem* node)
{
    return node && frmConnect::ImageOf(*node) == frmConnect::FileImage && !frmConnect::KeyOf(*node).isEmpty();
}

} // namespace

void frmConnect::TreeView1_NodeClick() { m_cmdOK->setEnabled(isDocument(m_TreeView1->currentItem())); }

void frmConnect::cmdOK_Click()
{
    const QTreeWidgetItem* node = m_TreeView1->currentItem();
    if (!isDocument(node))
        return;
    QStringList names;
    for (const QTreeWidgetItem* step = node; step; step = step->parent())
        names.prepend(step->text(0));
    m_chosenGUID = KeyOf(*node);
    m_chosenPath = names.join(u'/');
    accept();
}

} // namespace kelvane
