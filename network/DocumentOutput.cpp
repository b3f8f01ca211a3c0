#include "network/DocumentOutput.h"

namespace kelvane {

DocumentOutput::DocumentOutput(const QString& fileName) : m_file(fileName) {}

bool DocumentOutput::open()
{
    return m_file.open();
}

void DocumentOutput::write(const QString& text)
{
    // A failed or short write is remembered and makes commit() refuse.
    m_file.write(text.toUtf8());
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
    write(QStringLiteral("<kelvanenetwork>\r\n") + networkText + QStringLiteral("\r\n</kelvanenetwork>\r\n"));
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
