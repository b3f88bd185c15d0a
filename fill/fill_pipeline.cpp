#include "fill/fill_pipeline.h"

#include <algorithm>
#include <cmath>
#include <system_error>

#include "attributes/gra_attribute.h"
#include "common/code_page_932.h"
#include "common/file_copy.h"
#include "common/file_system.h"
#include "common/my_func.h"
#include "display/canvas/canvas.h"
#include "display/canvas/draw_context.h"
#include "display/pictures/picture_decode.h"
#include "display/render/render.h"
#include "exchange/exchange_writer.h"
#include "exchange/host_contract.h"
#include "fill/bmp_writer.h"
#include "fill/color_reduction.h"
#include "fill/output_area.h"
#include "fill/texture_fill.h"
#include "regions/faces.h"
#include "regions/regions.h"

namespace veldra {
namespace fs = std::filesystem;

namespace {

// A placement narrower than this is no picture for the host.
constexpr double kMinImageWidth = 1e-10;

// Texts are UTF-8 here; the file layer takes native paths.
fs::path PathOf(const std::string& utf8) {
    return PathFromUtf8(utf8);
}

size_t FolderEnd(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? 0 : slash + 1;
}

// The extension from the last dot of the file-name part on, upper-cased (ASCII).
std::string UpperExtension(const std::string& name) {
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot < FolderEnd(name)) return {};
    std::string ext = name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; });
    return ext;
}

// Code page 932 bytes of a UTF-8 text; false when a character has none.
bool ToShiftJis(const std::string& utf8, std::string& out) {
    TEncodedText encoded = CodePage932FromUtf8(utf8);
    if (!encoded.exact) return false;
    out = std::move(encoded.bytes);
    return true;
}

// The drawing's folder can hold a picture: its name decodes exactly and has no '?',
// which the host writes for a character it has no code page 932 form for (and which no
// Windows name holds).
bool DrawingFolderUsable(const std::string& drawingFilePath) {
    bool exact = true;
    const std::string drawing = Utf8FromCodePage932(drawingFilePath, &exact);
    return exact && drawing.substr(0, FolderEnd(drawing)).find('?') == std::string::npos;
}

// A new file can be made in the program folder (tried with a file of its own).
bool ProgramFolderTakesFiles(const fs::path& programFolder) {
    const fs::path probe = programFolder / "veldra-write-check.tmp";
    if (NameExists(probe)) return true;  // not ours to replace: no verdict
    if (ReplaceFileContent(probe, "") != TFileProblem::None) return false;
    RemoveFileOrLink(probe);
    return true;
}

// Bytes the picture text cannot carry: a control byte would break the exchange file's
// line (and could add lines of its own), a comma ends the path where the host splits
// off the width. Neither is ever a trail byte of code page 932.
bool HasUnusableByte(std::string_view shiftJis) {
    return std::any_of(shiftJis.begin(), shiftJis.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == ','; });
}

// Why the output cannot be written or handed back, or nothing. The temporary bitmap is
// removed at close and the exchange file is rewritten then: neither can be the picture,
// by name or by identity (a symbolic or hard link).
const char* OutputRefusal(const fs::path& output, const fs::path& programFolder) {
    const fs::path temp = TempImagePath(programFolder);
    std::error_code ec;
    if (fs::weakly_canonical(output, ec) == fs::weakly_canonical(temp, ec) ||
        SameFile(output, temp))
        return kPathIsTempMessage;
    if (SameFile(output, ExchangeFilePath(programFolder))) return kPathIsExchangeMessage;
    // A folder, FIFO or device of that name, or a link to nothing, is no picture file.
    if (NameExists(output) && FileKindOf(output) != TFileKind::Regular)
        return kPathNotRegularMessage;
    return nullptr;
}

TFillResult Stop(TFillResult& result, TFillStatus status, const char* message) {
    result.status = status;
    result.message = message;
    return result;
}

}  // namespace

TRegionFilter RegionFilterOf(const TgraAttribute& attributes) {
    TRegionFilter filter;
    for (int32_t key = 0; key < 256; ++key) filter.layerState[key] = attributes.LayerState(key);
    filter.showAuxiliary = attributes.ShowAuxiliary();
    return filter;
}

fs::path TempImagePath(const fs::path& programFolder) {
    return programFolder / kTempImageName;
}

void RemoveTempImage(const fs::path& programFolder) {
    const fs::path temp = TempImagePath(programFolder);
    RemoveFileOrLink(temp);
    // Pictures of a fill that was killed while saving, and the name earlier versions
    // saved under; a fill still at work elsewhere keeps its own.
    RemoveStaleTemporaryFiles(temp);
    fs::path older = temp;
    older += ".part";
    std::error_code ec;
    if (fs::is_regular_file(fs::symlink_status(older, ec))) RemoveFileOrLink(older);
}

std::string OutputPathFor(const std::string& outputName, const std::string& drawingFilePath) {
    const std::string folder = outputName.substr(0, FolderEnd(outputName));
    if (!folder.empty() && IsFolder(PathOf(folder))) return outputName;
    const std::string drawing = Utf8FromCodePage932(drawingFilePath);
    return drawing.substr(0, FolderEnd(drawing)) + outputName.substr(FolderEnd(outputName));
}

TFillResult RunFillCommand(const TFillOptions& options, const TFillSession& session,
                           TFillHandBack& handBack) {
    TFillResult result;
    handBack = TFillHandBack{};
    result.arcDivisions = std::clamp(options.arcDivisions, kMinArcDivisions, kMaxArcDivisions);

    if (options.texturePath.empty()) {
        return Stop(result, TFillStatus::CheckFailed, kNoTextureMessage);
    }
    const TFileKind textureKind = FileKindOf(PathOf(options.texturePath));
    if (textureKind == TFileKind::Missing || textureKind == TFileKind::Folder) {
        return Stop(result, TFillStatus::CheckFailed, kTextureMissingMessage);
    }
    // A FIFO or device would never give a picture (and a FIFO could hold the command).
    if (textureKind != TFileKind::Regular) {
        return Stop(result, TFillStatus::CheckFailed, kTextureNotRegularMessage);
    }
    if (options.outputName.empty()) return Stop(result, TFillStatus::CheckFailed, kNoOutputMessage);
    if (UpperExtension(options.outputName) != ".BMP") {
        return Stop(result, TFillStatus::CheckFailed, kNotBmpMessage);
    }
    const int32_t dpi = options.print.dpi;
    if (dpi != kScreenResolution && (dpi < kMinOutputDpi || dpi > kMaxOutputDpi)) {
        return Stop(result, TFillStatus::CheckFailed, kBadDpiMessage);
    }
    if (!(options.print.tileWidthMm >= 0) || !std::isfinite(options.print.tileWidthMm) ||
        !std::isfinite(options.print.tileAngleDeg)) {
        return Stop(result, TFillStatus::CheckFailed, kBadTileMessage);
    }

    // The host gets the path in code page 932 inside one text of at most 255 bytes:
    // refuse what would reach it cut or garbled before any file is made.
    const TViewState& view = session.view;
    const std::string outputPath = OutputPathFor(options.outputName, session.store.state.filePath);
    if (outputPath != options.outputName && !DrawingFolderUsable(session.store.state.filePath)) {
        return Stop(result, TFillStatus::PathRefused, kDrawingFolderUnusableMessage);
    }
    std::string shiftJisPath;
    if (!ToShiftJis(outputPath, shiftJisPath) || HasUnusableByte(shiftJisPath)) {
        return Stop(result, TFillStatus::PathRefused, kPathNotShiftJisMessage);
    }
    const double imageWidth = view.viewRight - view.viewLeft;
    const std::string pictureText = PictureText(shiftJisPath, imageWidth);
    if (pictureText.size() > kMaxRecordText) {
        return Stop(result, TFillStatus::PathRefused, kPathTooLongMessage);
    }
    if (const char* refusal = OutputRefusal(PathOf(outputPath), session.programFolder)) {
        return Stop(result, TFillStatus::PathRefused, refusal);
    }
    const fs::path tempPath = TempImagePath(session.programFolder);

    // Decoded before anything is drawn: an unreadable texture leaves no picture behind.
    QImage texture = LoadTexturePicture(PathOf(options.texturePath));
    if (texture.isNull()) {
        return Stop(result, TFillStatus::TextureUnreadable, kTextureUnreadableMessage);
    }
    const double magnification =
        std::clamp(options.magnificationPercent, kMinMagnification, kMaxMagnification) / 100.0;

    result.regions =
        BuildFillRegions(session.store, result.arcDivisions, options.regions,
                         RegionFilterOf(session.attributes), session.abort, session.regionProgress);
    // The loop search is not interrupted: a stop asked during it counts once it is done.
    if (!result.regions.aborted && CheckAbort(session.abort)) result.regions.aborted = true;
    if (result.regions.aborted || result.regions.failed) {
        // The earlier result is forgotten already: its picture goes too.
        RemoveTempImage(session.programFolder);
        if (result.regions.aborted) return Stop(result, TFillStatus::Cancelled, "");
        if (result.regions.tooManyCrossings) {
            const std::string message = TooManyCrossingsMessage(result.regions.crossings);
            return Stop(result, TFillStatus::RegionsFailed, message.c_str());
        }
        return Stop(result, TFillStatus::RegionsFailed, kRegionsFailedMessage);
    }
    const TAr2RealPoint& regionPolygons = result.regions.polygons;

    RemoveTempImage(session.programFolder);
    const bool viewUsable = view.viewWidth >= 1 && view.viewHeight >= 1 &&
                            std::isfinite(imageWidth) && std::isfinite(view.viewLeft) &&
                            std::isfinite(view.viewBottom);
    if (!viewUsable) return Stop(result, TFillStatus::SaveFailed, kSaveFailedMessage);

    // Where the picture lies and how many pixels it has; refused before any file is made
    // when it is above the limits.
    const bool fillArea = options.print.area == TOutputArea::Fill;
    TOutputFrame frame;
    if (fillArea) {
        const auto fitted = FillOutputFrame(
            view, dpi, FillContentBox(regionPolygons, session.store, session.attributes));
        if (!fitted) return Stop(result, TFillStatus::CheckFailed, kNothingToFillMessage);
        frame = *fitted;
    } else {
        frame = ViewOutputFrame(view, dpi);
    }
    const int bits = options.bitsPerPixel;
    if (const auto refusal = PictureSizeRefusal(frame.width, frame.height, bits)) {
        result.status = TFillStatus::TooLarge;
        result.message = *refusal;
        return result;
    }
    const std::string framedText = PictureText(shiftJisPath, frame.paperWidth);
    if (framedText.size() > kMaxRecordText) {
        return Stop(result, TFillStatus::PathRefused, kPathTooLongMessage);
    }

    // The fill picture: background, the selection's pictures and solids, and the
    // texture over the regions; lines, circles and arcs themselves are not drawn.
    const bool asOnScreen = dpi == kScreenResolution && !fillArea;
    TPictureCache pictures;
    TPictureScene scene{session.store,
                        session.attributes,
                        frame.view,
                        BuildRegionPath(regionPolygons, frame.view),
                        texture,
                        options.print.tileWidthMm > 0
                            ? PaperTilingTransform(texture, options.print.tileWidthMm,
                                                   options.print.tileAngleDeg, frame.view)
                            : ScreenTilingTransform(magnification, view, frame.view),
                        options.print.tileWidthMm > 0,
                        &pictures};
    const ColorRef background = session.attributes.BackgroundColor();
    TPreviewSampler preview(
        view, frame.view,
        qRgb(static_cast<int>(background & 0xFF), static_cast<int>((background >> 8) & 0xFF),
             static_cast<int>((background >> 16) & 0xFF)));
    QImage whole;
    TBandedSave how;
    how.bitsPerPixel = bits;
    // The paint box's own picture is always one band, as it always was.
    how.bandRows = asOnScreen ? frame.view.viewHeight : 0;
    how.pixelsPerMetre = dpi == kScreenResolution
                             ? kScreenPixelsPerMetre
                             : static_cast<int32_t>(RoundHalfAway(dpi / 0.0254));
    how.progress = session.progress;
    how.preview = asOnScreen ? nullptr : &preview;
    how.whole = asOnScreen ? &whole : nullptr;
    const TBandedSaveResult saved = SaveBandedPicture(scene, tempPath, how);
    if (saved != TBandedSaveResult::Saved) {
        RemoveTempImage(session.programFolder);
        if (saved == TBandedSaveResult::Cancelled) {
            result.status = TFillStatus::Cancelled;
            return result;
        }
        return Stop(result, TFillStatus::SaveFailed,
                    ProgramFolderTakesFiles(session.programFolder) ? kSaveFailedMessage
                                                                   : kProgramFolderReadOnlyMessage);
    }

    result.status = TFillStatus::Done;
    result.picture = (asOnScreen ? whole : preview.Image()).convertToFormat(QImage::Format_RGB32);
    result.pictureWidth = frame.width;
    result.pictureHeight = frame.height;
    result.pictureDpi = dpi;
    handBack.outputPath = outputPath;
    handBack.pictureText = framedText;
    handBack.ImageOriginX = frame.originX;
    handBack.ImageOriginY = frame.originY;
    handBack.ImageWidth = frame.paperWidth;
    return result;
}

TConfirmResult ConfirmFill(const TFillHandBack& handBack, const fs::path& programFolder,
                           TJwwEntityStore& store) {
    TConfirmResult result;
    if (handBack.Empty()) return result;
    const fs::path output = PathOf(handBack.outputPath);
    // Links may have changed since the fill command: check again before the copy.
    if (const char* refusal = OutputRefusal(output, programFolder)) {
        result.message = refusal;
        return result;
    }
    // The temporary bitmap is moved into place (copied when the output is on another
    // volume). Only a complete file counts; a failure keeps an older file of that name.
    result.problem = MoveOrCopyFileWithDate(TempImagePath(programFolder), output);
    if (result.problem != TFileProblem::None) {
        result.message = kCopyFailedMessage;
        return result;
    }
    if (!(handBack.ImageWidth > kMinImageWidth)) return result;
    const size_t before = store.outputLines.size();
    AddTextCommand(store, 0, handBack.pictureText, handBack.ImageOriginX, handBack.ImageOriginY,
                   1.0, 0.0);
    result.queued = store.outputLines.size() > before;
    return result;
}

const char* RetargetHandBack(TFillHandBack& handBack, const std::string& outputPath,
                             const fs::path& programFolder) {
    if (UpperExtension(outputPath) != ".BMP") return kNotBmpMessage;
    std::string shiftJisPath;
    if (!ToShiftJis(outputPath, shiftJisPath) || HasUnusableByte(shiftJisPath))
        return kPathNotShiftJisMessage;
    std::string pictureText = PictureText(shiftJisPath, handBack.ImageWidth);
    if (pictureText.size() > kMaxRecordText) return kPathTooLongMessage;
    if (const char* refusal = OutputRefusal(PathOf(outputPath), programFolder)) return refusal;
    handBack.outputPath = outputPath;
    handBack.pictureText = std::move(pictureText);
    return nullptr;
}

}  // namespace veldra
