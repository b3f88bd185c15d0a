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

std::string ToShiftJis(const QString& text) {
    QStringEncoder encoder(kCodePage);
    const QByteArray bytes = encoder.encode(text);
    return bytes.toStdString();
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
