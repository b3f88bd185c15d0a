#pragma once

// The body of both metafile fuzz targets: any bytes must parse and play without a
// crash, a hang or undefined behaviour, with work in proportion to the data.

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "display/pictures/metafile_playback.h"

namespace veldra {

template <typename Picture>
int PlayAnyMetafile(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto picture = Picture::Parse(bytes);
    if (!picture) return 0;
    if (picture->Width() <= 0 || picture->Height() <= 0) std::abort();
    QImage image(48, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    TMetafilePlayback playback;
    picture->Play(painter, QRectF(2, 2, 40, 28), &playback);
    painter.end();
    // A record is at least 6 (WMF) or 8 (EMF) bytes; each record's work is bounded by
    // its size.
    if (playback.records > static_cast<int64_t>(size)) std::abort();
    return 0;
}

}  // namespace veldra
