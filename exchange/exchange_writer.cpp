#include "exchange/exchange_writer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/file_system.h"
#include "common/my_func.h"
#include "common/tolerances.h"

namespace veldra {
namespace {

// Plain notation is used for magnitudes in [1e-5, 1e15): every value a drawing holds.
constexpr int kPlainMinExponent = -5;
constexpr int kPlainMaxExponent = 14;
constexpr int kSignificantDigits = 15;

std::string StripTrailingZeros(std::string digits) {
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    return digits;
}

}  // namespace

const char* TextCommandKeyword(int32_t textType) {
    static constexpr const char* kKeywords[] = {"ch", "cv", "cs", "cr", "co",
                                                "cp", "ct", "ck", "cz", "c2"};
    return textType >= 1 && textType <= 9 ? kKeywords[textType] : "ch";
}

std::string FormatGeneral(double value) {
    if (!std::isfinite(value)) return "0";
    if (value == 0.0) return "0";  // also for -0.0
    // "%.14e" rounds correctly to 15 significant digits: d.dddddddddddddde±x.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, std::fabs(value));
    std::string text(buffer);
    size_t e = text.find('e');
    int exponent = std::atoi(text.c_str() + e + 1);
    std::string digits = StripTrailingZeros(text.substr(0, 1) + text.substr(2, e - 2));
    std::string out = value < 0 ? "-" : "";
    if (exponent < kPlainMinExponent || exponent > kPlainMaxExponent) {
        out += digits.substr(0, 1);
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += exponent < 0 ? "E-" : "E+";
        out += std::to_string(std::abs(exponent));
    } else if (exponent < 0) {
        out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else {
        auto intDigits = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits + std::string(intDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, intDigits) + "." + digits.substr(intDigits);
        }
    }
    return out;
}

std::string PictureText(std::string_view picturePath, double width) {
    std::string text = "^@BM";
    text += picturePath;
    text += ',';
    text += FormatFixed(3, width);
    return text;
}

void AddOutputLine(TJwwEntityStore& store, std::string_view line) {
    store.outputLines.push_back(Str255(line));
}

void AddTextCommand(TJwwEntityStore& store, int32_t textType, std::string_view text, double x,
                    double y, double dirX, double dirY) {
    // A NaN or infinite value would hand the host a line it cannot place.
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(dirX) || !std::isfinite(dirY))
        return;
    if (std::fabs(dirX) <= kPointTolerance && std::fabs(dirY) <= kPointTolerance) return;
    if (StripBlanks(text).empty()) return;
    std::string command = TextCommandKeyword(textType);
    for (double v : {x, y, dirX, dirY}) {
        command += ' ';
        command += FormatGeneral(v);
    }
    command += " \"";
    AddOutputLine(store, command);
    AddOutputLine(store, text);
}

std::string ExchangeFileBytes(const TJwwEntityStore& store) {
    std::string bytes;
    auto put = [&bytes](std::string_view line, bool lineEnd) {
        bytes += line;
        if (lineEnd) bytes += "\r\n";
    };
    const auto& lines = store.outputLines;
    if (lines.empty()) put("hq", true);
    for (size_t i = 0; i < lines.size(); ++i) {
        // A text command's entry ends with '"'; its text follows on the same line.
        if (!lines[i].empty() && lines[i].back() == '"') {
            put(lines[i], false);
            if (i + 1 < lines.size()) put(lines[++i], true);
        } else {
            put(lines[i], true);
        }
    }
    return ExchangeBytesIn(bytes, store.encoding);  // back in the encoding it came in
}

bool WriteExchangeFile(const TJwwEntityStore& store, const std::filesystem::path& path) {
    // Written whole under a temporary name and renamed into place: the host never
    // finds half a hand-back.
    if (ReplaceFileContent(path, ExchangeFileBytes(store)) == TFileProblem::None) return true;
    // Until then the file holds the host's selection, which the host would read back as
    // commands: it goes, or, where its name cannot be removed, loses its content. A
    // folder, FIFO or device under that name is not the selection and stays.
    if (FileKindOf(path) == TFileKind::Regular && RemoveFileOrLink(path) != TFileProblem::None)
        EmptyRegularFile(path);
    return false;
}

}  // namespace veldra
