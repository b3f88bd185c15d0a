#pragma once

// A drawn view saved as a picture file, in the format its name asks for: PNG or a
// 24-bit Windows bitmap. Written through the file layer (replacing by rename).

#include <QByteArray>
#include <QImage>

#include <filesystem>
#include <optional>
#include <string>

namespace veldra {

enum class TViewPictureFormat { Png, Bmp };

// The format of a file name by its extension (".png" or ".bmp", any case); nothing
// for another extension or none.
std::optional<TViewPictureFormat> ViewPictureFormatOf(const std::filesystem::path& path);

// PNG bytes of the picture: a palette of its colours when it has at most 256 (a view
// holds a few pen colours), 24-bit colour otherwise; the fastest zlib level, since
// the few colours compress well anyway. Read back, every pixel is the picture's.
QByteArray EncodeViewPng(const QImage& picture);

// Encodes the picture (opaque colours) in the format and writes it; false on failure.
bool SaveViewPicture(const std::filesystem::path& path, const QImage& picture,
                     TViewPictureFormat format);

}  // namespace veldra
