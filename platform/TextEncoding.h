#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <algorithm>

// The old "ANSI code page" is Windows-1252: one byte per character. Documents are written
// as UTF-8 and read as UTF-8 when their bytes are valid UTF-8, else as Windows-1252.
namespace platform::encoding {

// One byte per character; characters Windows-1252 cannot hold become "?".
QByteArray toAnsi(const QString& text);

// The code of one character in Windows-1252, or -1 when it has none.
int ansiCode(QChar c);

// Every byte becomes one character.
QString fromAnsi(const QByteArray& bytes);
// The same into `text`, whose storage is used again when nothing else shares it.
void fromAnsi(const QByteArray& bytes, QString& text);

bool isValidUtf8(const QByteArray& bytes);

// Stored text: UTF-8 when the bytes are valid UTF-8 (a byte-order mark is dropped), else Windows-1252.
QString decodeStored(const QByteArray& bytes);
// The length of decodeStored(bytes), found without making the text.
qsizetype decodedLength(const QByteArray& bytes);

// Hands `write` the UTF-8 form of `text` a slice at a time, so that a large text is never held
// a second time whole as bytes. A slice never ends between the two halves of a surrogate pair:
// the slices together are the bytes of the whole text.
template <class Write>
void writeUtf8InSlices(QStringView text, Write&& write)
{
    constexpr qsizetype kSlice = 1 << 20;
    while (!text.isEmpty()) {
        qsizetype length = std::min(kSlice, text.size());
        if (length < text.size() && length > 1 && text[length - 1].isHighSurrogate())
            --length;
        write(text.first(length).toUtf8());
        text = text.sliced(length);
    }
}

} // namespace platform::encoding
