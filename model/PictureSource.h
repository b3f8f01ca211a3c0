#pragma once

#include <QByteArray>
#include <QString>

namespace kelvane {

// A picture handed to the host display: a picture file, or the picture's bytes as a
// compound file keeps them. Empty when neither is given (the display clears its picture).
struct PictureSource {
    QString filePath;
    QByteArray bytes;

    bool isEmpty() const { return filePath.isEmpty() && bytes.isEmpty(); }
};

} // namespace kelvane
