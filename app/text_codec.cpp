#include "app/text_codec.h"

#include <QByteArray>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace veldra {

namespace {
constexpr const char* kCodePage = "Shift_JIS";
}

QString FromShiftJis(std::string_view bytes) {
    QStringDecoder decoder(kCodePage);
    return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// Character by character, so that a character without a Shift-JIS form becomes a
// plain '?' instead of the converter's substitute (which would read as a lead byte).
std::string ToShiftJis(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()) * 2);
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                             : 1;
        QStringEncoder encoder(kCodePage, QStringConverter::Flag::Stateless);
        const QByteArray bytes = encoder.encode(QStringView(text).mid(i, length));
        if (encoder.hasError() || bytes.isEmpty())
            out += '?';
        else
            out.append(bytes.constData(), static_cast<size_t>(bytes.size()));
        i += length;
    }
    return out;
}

bool IsShiftJisEncodable(const QString& text) {
    QStringEncoder encoder(kCodePage, QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    return !encoder.hasError();
}

std::filesystem::path ToPath(const QString& text) {
    return std::filesystem::path(QFile::encodeName(text).toStdString());
}

QString FromPath(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

}  // namespace veldra
