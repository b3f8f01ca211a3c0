#include "network/DocumentOutput.h"

#include <algorithm>

namespace kelvane {

DocumentOutput::DocumentOutput(const QString& fileName) : m_file(fileName) {}

bool DocumentOutput::open()
{
    return m_file.open();
}

void DocumentOutput::write(QStringView text)
{
    // In slices, so that a large network is never held a second time whole in UTF-8; a slice
    // never ends between the two halves of a surrogate pair, so the bytes are those of the
    // whole text. A failed or short write is remembered and makes commit() refuse.
    constexpr qsizetype kSlice = 1 << 20;
    while (!text.isEmpty()) {
        qsizetype length = std::min(kSlice, text.size());
        if (length < text.size() && length > 1 && text[length - 1].isHighSurrogate())
            --length;
        m_file.write(text.first(length).toUtf8());
        text = text.sliced(length);
    }
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
