#include "network/DocumentOutput.h"

#include "platform/TextEncoding.h"

namespace kelvane {

DocumentOutput::DocumentOutput(const QString& fileName) : m_file(fileName) {}

bool DocumentOutput::open()
{
    return m_file.open();
}

void DocumentOutput::write(QStringView text)
{
    // A failed or short write is remembered and makes commit() refuse.
    platform::encoding::writeUtf8InSlices(text, [&](const QByteArray& slice) { m_file.write(slice); });
}

QString DocumentOutput::documentStart()
{
    return QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>\r\n"
                          "<!DOCTYPE kelvanedocument>\r\n\r\n"
                          "<kelvanedocument>\r\n\r\n");
}

void DocumentOutput::writeDocumentStart()
{
    write(documentStart());
}

void DocumentOutput::writeNetworkEntry(const QString& networkText)
{
    write(u"<kelvanenetwork>\r\n");
    write(networkText);
    write(u"\r\n</kelvanenetwork>\r\n");
}

void DocumentOutput::writeDocumentEnd()
{
    write(QStringLiteral("\r\n\r\n</kelvanedocument>\r\n\r\n\r\n"));
}

bool DocumentOutput::commit()
{
    return m_file.commit();
}

} // namespace kelvane
