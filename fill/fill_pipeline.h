#pragma once

// The fill command and its hand-back to the host, without any window: the window's
// buttons and veldra-cli fill run exactly this code.
//
//   RunFillCommand  checks the options, builds the regions, draws the solids and
//                   pictures, fills the regions with the texture and saves the fill
//                   picture as the temporary bitmap in the program folder;
//   ConfirmFill     (OK) moves the temporary bitmap to the output path (copies it
//                   when that is on another volume) and queues the picture-placement
//                   text for the host;
//   RemoveTempImage (close) deletes the temporary bitmap and what a killed fill left;
//                   the exchange file itself is written at close, when the front end
//                   hands back to the host.
//
// Texts going in and messages coming out are UTF-8; the picture text queued for the
// host is Shift-JIS, as the exchange file is.

#include <QImage>

#include <cstdint>
#include <filesystem>
#include <string>

#include "common/abort_poll.h"
#include "common/file_system.h"
#include "exchange/entity_store.h"
#include "fill/picture_bands.h"
#include "options/fill_options.h"
#include "regions/region_modes.h"
#include "view/view_state.h"

namespace veldra {

class TgraAttribute;

// The temporary bitmap of the fill command, in the program folder.
inline constexpr const char* kTempImageName = "rw47_temp.BMP";
std::filesystem::path TempImagePath(const std::filesystem::path& programFolder);

// What the last successful fill command leaves for OK: the text of Label2 and the
// placement of the picture in paper units. Only RunFillCommand fills it.
struct TFillHandBack {
    std::string outputPath;   // Label2: where OK copies the picture (UTF-8); empty when none
    std::string pictureText;  // "^@BM" + output path + "," + width, Shift-JIS bytes
    double ImageOriginX = 0.0;
    double ImageOriginY = 0.0;
    double ImageWidth = 0.0;

    bool Empty() const { return outputPath.empty(); }
};

enum class TFillStatus {
    Done,
    CheckFailed,        // one of the four checks of the options
    TextureUnreadable,  // the texture file exists but is no picture we can decode
    PathRefused,        // the output path cannot be handed to the host
    SaveFailed,         // the temporary bitmap could not be made
    RegionsFailed,      // the faces could not be built from the linework
    TooLarge,           // the picture is above the size limits; no file made
    Cancelled,          // Escape stopped the region build or the picture; no file left
};

struct TFillResult {
    TFillStatus status = TFillStatus::CheckFailed;
    // Why the command stopped (UTF-8, Japanese like the window's other texts); empty
    // when done. The window shows it in a message box, veldra-cli prints it.
    std::string message;
    // The arc division count used, limited to 3..3600.
    int32_t arcDivisions = kMinArcDivisions;
    // The fill picture as saved, at its colour depth, for the paint box; null unless done.
    // At another resolution or area it is the saved picture scaled into the paint box
    // (paint box pixels off the picture in the background colour).
    QImage picture;
    // The regions filled, the open ends and the joins, for the view's markers.
    TFillRegionReport regions;
    // The saved picture's own size and resolution (0 dpi: the screen's).
    int64_t pictureWidth = 0, pictureHeight = 0;
    int32_t pictureDpi = 0;

    bool Ok() const { return status == TFillStatus::Done; }
};

// What the fill command reads besides the options: the selection, the graphic
// attributes (background, layer states, pens of the solids), the view (its canvas
// size is the picture's size) and the program folder of the temporary bitmap.
struct TFillSession {
    const TJwwEntityStore& store;
    const TgraAttribute& attributes;
    const TViewState& view;
    std::filesystem::path programFolder;
    AbortPoll abort = {};  // asked during a long region build (the window's Escape)
    // Told how far the face build has come (0..1), on the thread that runs the command.
    FaceProgress regionProgress = {};
    // Called as the picture is drawn and saved; returning true stops the command and
    // leaves no file. May be empty.
    TBandProgress progress = {};
};

// The messages of the four checks, in their order.
inline constexpr const char* kNoTextureMessage = "テクスチャ画像ファイル名の指定を行って下さい。";
inline constexpr const char* kTextureMissingMessage =
    "指定したテクスチャ画像ファイルが見つかりません。";
inline constexpr const char* kNoOutputMessage =
    "画像ファイル名の入力／画像ファイル指定を行って下さい。";
inline constexpr const char* kNotBmpMessage = "画像ファイル名は BMP形式のみです。";
// Refusals that keep a bad picture or path from reaching the host. A path that holds
// a control byte or a comma is refused with the same message as one that has no
// code page 932 form: the host would read it as other lines or cut it at the comma.
inline constexpr const char* kTextureUnreadableMessage =
    "テクスチャ画像ファイルを読み込めませんでした。";
inline constexpr const char* kPathNotShiftJisMessage =
    "画像ファイル名に使用できない文字が含まれています。";
inline constexpr const char* kPathTooLongMessage = "画像ファイル名が長すぎます。";
inline constexpr const char* kPathIsTempMessage =
    "作業用の一時ファイルと同じ画像ファイル名は使用できません。";
inline constexpr const char* kPathIsExchangeMessage =
    "受け渡しファイル（JWC_TEMP.TXT）と同じ画像ファイル名は使用できません。";
inline constexpr const char* kPathNotRegularMessage =
    "指定した画像ファイル名は通常のファイルではありません。";
inline constexpr const char* kTextureNotRegularMessage =
    "指定したテクスチャ画像ファイルは通常のファイルではありません。";
inline constexpr const char* kSaveFailedMessage = "画像ファイルを作成できませんでした。";
inline constexpr const char* kBadDpiMessage = "出力解像度は 10～4800 dpi の数値で指定して下さい。";
inline constexpr const char* kBadTileMessage =
    "テクスチャの用紙上の幅（mm）と角度を正しく指定して下さい。";
inline constexpr const char* kNothingToFillMessage = "塗りつぶす範囲がありません。";
inline constexpr const char* kCopyFailedMessage = "画像ファイルをコピーできませんでした。";
inline constexpr const char* kRegionsFailedMessage = "塗り領域を作成できませんでした。";
// The drawing's folder, where a picture named without a folder goes, holds characters
// the host could not write in the exchange file (it wrote '?' for them) or bytes that are
// no text: the picture would land in no folder.
inline constexpr const char* kDrawingFolderUnusableMessage =
    "図面のフォルダ名に使用できない文字が含まれています。画像ファイル名をフォルダから指定して下さい"
    "。";
// The temporary bitmap could not be made because the program folder takes no new file.
inline constexpr const char* kProgramFolderReadOnlyMessage =
    "プログラムのフォルダに書き込めません。書き込みのできるフォルダにインストールして下さい。";

// The entities the regions are built from: the layers' states and whether auxiliary
// entities are shown, as the graphic attributes say.
TRegionFilter RegionFilterOf(const TgraAttribute& attributes);

// The output path rule: the output name as it stands when its folder part names an
// existing folder; otherwise the folder of the drawing file (`filePath`, Shift-JIS)
// followed by the output name's file-name part. Both '/' and '\' separate folders.
std::string OutputPathFor(const std::string& outputName, const std::string& drawingFilePath);

// The fill command. Forgets the previous result first (handBack emptied), and fills
// handBack only when the picture is saved at TempImagePath.
TFillResult RunFillCommand(const TFillOptions& options, const TFillSession& session,
                           TFillHandBack& handBack);

struct TConfirmResult {
    bool queued = false;  // the picture text is queued for the host
    std::string message;  // UTF-8; set when the copy to the output path failed
    TFileProblem problem = TFileProblem::None;  // why the copy failed, when it did
};

// OK: when a fill result and the temporary bitmap exist, moves the bitmap to the
// output path (or copies it keeping its date), and queues the picture text only when
// the output is complete. The window closes after OK, so the bitmap is not needed again.
TConfirmResult ConfirmFill(const TFillHandBack& handBack,
                           const std::filesystem::path& programFolder, TJwwEntityStore& store);

// Another output path for a finished fill (OK could not copy to the first one): the
// same checks as the fill command's; nullptr and `handBack` retargeted, or the
// refusal's message (UTF-8) and `handBack` unchanged.
const char* RetargetHandBack(TFillHandBack& handBack, const std::string& outputPath,
                             const std::filesystem::path& programFolder);

// Deletes the temporary bitmap when it exists (fill command start, window close), and
// the partial pictures of a fill that was killed while saving.
void RemoveTempImage(const std::filesystem::path& programFolder);

}  // namespace veldra
