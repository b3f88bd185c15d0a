// Fuzz target for the Windows metafile player: any bytes must parse and play without a
// crash, a hang or undefined behaviour, with work in proportion to the data.

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "display/pictures/metafile_playback.h"
#include "display/pictures/metafile_wmf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace veldra;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto picture = TWmfPicture::Parse(bytes);
    if (!picture) return 0;
    if (picture->Width() <= 0 || picture->Height() <= 0) std::abort();
    QImage image(48, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    TMetafilePlayback playback;
    picture->Play(painter, QRectF(2, 2, 40, 28), &playback);
    painter.end();
    // One record is at least 6 bytes; each record's work is bounded by its size.
    if (playback.records > static_cast<int64_t>(size)) std::abort();
    return 0;
}
