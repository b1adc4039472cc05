#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QSize>

// A real JPEG picture of `size` pixels. Its pixels are noise, so that it does
// not compress away: its bytes grow with its size.
inline QByteArray jpegBytes(QSize size = {4, 3})
{
    QImage image(size, QImage::Format_RGB32);
    quint32 noise = 1;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            noise = noise * 1664525u + 1013904223u;
            image.setPixel(x, y, noise >> 8);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}
