#include "options/settings_file.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <system_error>
#include <vector>

#include "common/file_system.h"
#include "common/my_func.h"
#include "exchange/exchange_writer.h"

namespace veldra {

namespace {

constexpr size_t kMaxSettingsBytes = size_t{64} * 1024;

// Lines end with CR LF; a lone CR or LF is accepted too.
std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < text.size()) {
        size_t end = text.find_first_of("\r\n", i);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(i));
            break;
        }
        lines.emplace_back(text.substr(i, end - i));
        i = end + 1;
        if (text[end] == '\r' && i < text.size() && text[i] == '\n') ++i;
    }
    return lines;
}

}  // namespace

std::filesystem::path SettingsPathFor(const std::filesystem::path& executable) {
    std::filesystem::path p = executable;
    p.replace_extension(".dat");
    return p;
}

TSettings ParseSettings(std::string_view text) {
    TSettings s;
    const std::vector<std::string> lines = SplitLines(text);
    auto line = [&lines](size_t n) -> std::string_view {
        return n <= lines.size() ? std::string_view(lines[n - 1]) : std::string_view();
    };
    s.savedLeft = ParseIntOrZero(line(1));
    s.savedTop = ParseIntOrZero(line(2));
    s.savedWidth = std::max(ParseIntOrZero(line(3)), kMinWindowWidth);
    s.savedHeight = std::max(ParseIntOrZero(line(4)), kMinWindowHeight);
    s.outputName = std::string(line(5));
    s.textureName = std::string(line(6));
    s.background = ParseIntOrZero(line(7)) == 0 ? 0 : 1;
    s.backgroundLoaded = true;
    s.arcDivisions = std::string(line(8));
    s.colourDepth = std::clamp(ParseIntOrZero(line(9)), 0, kLastColourDepthItem);
    s.magnification = std::clamp(ParseIntOrZero(line(10)), kMinMagnification, kMaxMagnification);
    // Lines after the first ten: missing or unknown values keep the defaults.
    if (lines.size() >= 11)
        s.regionMode = ParseIntOrZero(line(11)) == 1 ? TRegionMode::Faces : TRegionMode::Chain;
    if (lines.size() >= 12 && !line(12).empty()) s.gapTolerance = std::string(line(12));
    if (lines.size() >= 13) {
        const int32_t islands = ParseIntOrZero(line(13));
        s.islandMode =
            islands >= 0 && islands <= 2 ? static_cast<TIslandMode>(islands) : TIslandMode::Normal;
    }
    // The picture for print: a value out of range turns its option off.
    const int32_t dpi = ParseIntOrZero(line(14));
    s.print.dpi = dpi >= kMinOutputDpi && dpi <= kMaxOutputDpi ? dpi : kScreenResolution;
    s.print.area = ParseIntOrZero(line(15)) == 1 ? TOutputArea::Fill : TOutputArea::View;
    const double tile = ParseRealOrZero(line(16));
    s.print.tileWidthMm = tile > 0 && tile <= kMaxTileMm ? tile : 0.0;
    const double angle = ParseRealOrZero(line(17));
    s.print.tileAngleDeg = std::fabs(angle) <= kMaxTileAngleDeg ? angle : 0.0;
    if (lines.size() >= 18) s.showTexts = ParseIntOrZero(line(18)) != 0;
    if (lines.size() >= 19) s.gapUnit = ParseIntOrZero(line(19)) == 1 ? 1 : 0;
    return s;
}

std::string FormatSettings(const TSettings& s) {
    std::string out;
    auto add = [&out](std::string_view v) {
        out.append(v);
        out.append("\r\n");
    };
    add(std::to_string(s.savedLeft));
    add(std::to_string(s.savedTop));
    add(std::to_string(s.savedWidth));
    add(std::to_string(s.savedHeight));
    add(s.outputName);
    add(s.textureName);
    add(std::to_string(s.background));
    add(s.arcDivisions);
    add(std::to_string(s.colourDepth));
    add(std::to_string(s.magnification));
    add(std::to_string(static_cast<int32_t>(s.regionMode)));
    add(s.gapTolerance);
    add(std::to_string(static_cast<int32_t>(s.islandMode)));
    add(std::to_string(s.print.dpi));
    add(std::to_string(static_cast<int32_t>(s.print.area)));
    add(FormatGeneral(s.print.tileWidthMm));
    add(FormatGeneral(s.print.tileAngleDeg));
    add(s.showTexts ? "1" : "0");
    add(std::to_string(s.gapUnit));
    return out;
}

TSettings LoadSettings(const std::filesystem::path& path, TFileProblem* problem) {
    // Ten short lines; whatever lies beyond this cannot belong to them. A FIFO or
    // device under that name is refused without waiting.
    const TReadResult read = ReadFileHead(path, kMaxSettingsBytes);
    if (problem != nullptr) *problem = read.problem;
    if (!read.Ok()) return TSettings{};
    return ParseSettings(read.bytes);
}

bool SaveSettings(const std::filesystem::path& path, const TSettings& settings,
                  TFileProblem* problem) {
    const TFileProblem written = ReplaceFileContent(path, FormatSettings(settings));
    if (problem != nullptr) *problem = written;
    return written == TFileProblem::None;
}

}  // namespace veldra
