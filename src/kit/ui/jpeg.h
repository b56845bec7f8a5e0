#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace kit {

// JPEG pictures go through libjpeg directly.
QImage decodeJpeg(const QByteArray& data, QString* error = nullptr);
QByteArray encodeJpeg(const QImage& image, int quality = 90);

// Any picture the program accepts (JPEG through libjpeg, the rest through Qt's
// own readers: bitmaps, PNG). Null with an error text when it cannot be read.
QImage decodePicture(const QByteArray& data, QString* error = nullptr);
bool isJpeg(const QByteArray& data);

}  // namespace kit
