// The knowledge server's folder browser filling its tree from a listing of 20,000 knowledge
// bases, once in one folder and once spread over 200 folders of 100: reading the listing
// alone, and the browser made and shown with it (reading included), which must stay under
// 0.5 s. Then two replies a hostile server may send, each read as the start dialog reads a
// listing (the reply, then the listing it carries): 4 MiB of "&", which must be read in under
// 0.5 s, and a listing of folders nested 100,000 deep, in under 1 s. Run it from a Release build.
#include "bench/BenchTiming.h"
#include "server/FolderListing.h"
#include "server/TavroSession.h"
#include "server/basXMLRPC.h"
#include "server/frmConnect.h"

#include <QApplication>
#include <QTreeWidget>

#include <cstdio>

using namespace kelvane;

namespace {

constexpr int kFiles = 20000;
constexpr int kRounds = 5;

QString fileElement(int number)
{
    return QStringLiteral("<File><Name>Knowledge base %1</Name><GUID>01DD%2</GUID></File>")
        .arg(number)
        .arg(number, 40, 10, QLatin1Char('0'));
}

// A listing of `folders` folders under the root, sharing the files among them evenly
// (none: every file in the root).
QString listing(int folders)
{
    QString xml = QStringLiteral("<Folder><Name>Root</Name>");
    if (folders == 0) {
        xml += QStringLiteral("<Files>");
        for (int i = 0; i < kFiles; ++i)
            xml += fileElement(i);
        xml += QStringLiteral("</Files>");
    } else {
        xml += QStringLiteral("<Folders>");
        for (int f = 0, number = 0; f < folders; ++f) {
            xml += QStringLiteral("<Folder><Name>Folder %1</Name><Files>").arg(f);
            for (int i = 0; i < kFiles / folders; ++i)
                xml += fileElement(number++);
            xml += QStringLiteral("</Files></Folder>");
        }
        xml += QStringLiteral("</Folders>");
    }
    return xml + QStringLiteral("</Folder>");
}

// An XML-RPC reply whose "xml" member holds `value` as it stands.
QString replyWith(const QString& value)
{
    return QStringLiteral("<?xml version=\"1.0\"?>\r\n<methodResponse><params><param><value><struct>"
                          "<member><name>key</name><value>0123456789ABCDEF</value></member>"
                          "<member><name>xml</name><value>")
        + value + QStringLiteral("</value></member></struct></value></param></params></methodResponse>\r\n");
}

QString escaped(QString text)
{
    return text.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;")).replace(u'>', QStringLiteral("&gt;"));
}

QString deepListing(int levels)
{
    QString xml;
    for (int level = 1; level <= levels; ++level)
        xml += QStringLiteral("<Folder><Name>Folder %1</Name><Folders>").arg(level, 6, 10, QLatin1Char('0'));
    for (int level = 1; level <= levels; ++level)
        xml += QStringLiteral("</Folders><Files></Files></Folder>");
    return xml;
}

// Reads the reply as the start dialog does, then the listing it carries (the first reply of a
// session gives its key rather than its payload, so the listing is read from its own text).
bool measureReply(const char* shape, const QString& reply, const QString& listing, double limitSeconds)
{
    int folders = 0;
    const double seconds = bench::bestSeconds(kRounds, [&] {
        TavroSession session;
        session.NewClientGUID();
        basXMLRPC::ParseTavroResponse(session, reply);
        const ServerFolder root = ReadFolderListing(listing);
        folders = 0;
        for (const ServerFolder* folder = &root; !folder->Folders.isEmpty(); folder = &folder->Folders.first())
            ++folders;
    });
    std::printf("%-28s reply %5.1f MiB read %7.3f s   (%d levels shown; load %s)\n", shape,
                double(reply.size()) / (1 << 20), seconds, folders, qPrintable(bench::loadAverage()));
    return seconds < limitSeconds;
}

int countNodes(const QTreeWidgetItem& node)
{
    int count = 1;
    for (int i = 0; i < node.childCount(); ++i)
        count += countNodes(*node.child(i));
    return count;
}

bool measure(const char* shape, const QString& xml)
{
    const double readSeconds = bench::bestSeconds(kRounds, [&] { ReadFolderListing(xml); });
    int nodes = 0;
    const double showSeconds = bench::bestSeconds(kRounds, [&] {
        frmConnect browser(QStringLiteral("https://server/tavro"), xml);
        browser.show();
        QApplication::processEvents();
        nodes = countNodes(*browser.TreeView1()->topLevelItem(0));
    });
    std::printf("%-24s read %7.3f s   browser shown %7.3f s   (%d nodes)\n", shape, readSeconds, showSeconds, nodes);
    return showSeconds < 0.5;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const bool flat = measure("20,000 files, 1 folder", listing(0));
    const bool spread = measure("20,000 files, 200 folders", listing(200));
    std::printf("under 0.5 s: %s\n", flat && spread ? "yes" : "no");

    const QString ampersands(4 << 20, u'&');
    const QString deep = deepListing(100000);
    const bool ampersandsInTime = measureReply("4 MiB of \"&\"", replyWith(ampersands), ampersands, 0.5);
    const bool deepInTime = measureReply("folders nested 100,000 deep", replyWith(escaped(deep)), deep, 1.0);
    std::printf("hostile replies in time: %s\n", ampersandsInTime && deepInTime ? "yes" : "no");
    return flat && spread && ampersandsInTime && deepInTime ? 0 : 1;
}
