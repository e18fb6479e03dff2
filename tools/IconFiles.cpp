#include "IconFiles.h"

#include <QBuffer>
#include <QtEndian>

namespace icons {

QImage Scaled(const QImage &drawing, int size)
{
    const QImage argb = drawing.convertToFormat(QImage::Format_ARGB32);
    if (argb.width() == size && argb.height() == size)
        return argb;
    return argb.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

namespace {

void append16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void append32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

QByteArray IcoFile(const QList<QImage> &images)
{
    QList<QByteArray> pngs;
    for (const QImage &image : images) {
        if (image.width() != image.height() || image.width() < 1 || image.width() > 256)
            return {};
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return {};
        pngs.append(png);
    }

    // Header, one 16-byte directory entry per image, then the images one after the other.
    constexpr quint32 kHeaderSize = 6;
    constexpr quint32 kEntrySize = 16;
    QByteArray out;
    append16(out, 0); // reserved
    append16(out, 1); // type: icon
    append16(out, quint16(images.size()));
    quint32 offset = kHeaderSize + kEntrySize * quint32(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const int size = images[i].width();
        out.append(char(size == 256 ? 0 : size)); // 0 stands for 256
        out.append(char(size == 256 ? 0 : size));
        out.append(char(0)); // no palette
        out.append(char(0)); // reserved
        append16(out, 1);    // colour planes
        append16(out, 32);   // bits per pixel
        append32(out, quint32(pngs[i].size()));
        append32(out, offset);
        offset += quint32(pngs[i].size());
    }
    for (const QByteArray &png : std::as_const(pngs))
        out.append(png);
    return out;
}

} // namespace icons
