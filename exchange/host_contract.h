#pragma once

// What the program fixes about the host CAD: the exchange file lives in the
// program's own folder under one fixed name, is read once at start-up and rewritten
// once at close. The folder is always passed in, never looked up here.

#include <filesystem>

#include "common/file_system.h"
#include "exchange/entity_store.h"

namespace veldra {

inline constexpr const char* kExchangeFileName = "JWC_TEMP.TXT";

// Shown when reading the exchange file replaced characters (TJwwEntityStore::textReplaced).
inline constexpr const char* kExchangeTextReplacedMessage =
    "受け渡しファイル（JWC_TEMP.TXT）に読めない文字がありました。その文字は「?」として扱います。";
// Shown when the hand-back cannot be written (a full disk, a read-only program folder);
// the window's message box says the same.
inline constexpr const char* kHandBackFailedMessage =
    "受け渡しファイル（JWC_TEMP.TXT）を書き込めませんでした。作図結果は図面に反映されません。";

// programFolder / "JWC_TEMP.TXT".
std::filesystem::path ExchangeFilePath(const std::filesystem::path& programFolder);

// Start-up order: InitStore, read the exchange file, reset the current attributes,
// queue "bz" when the file carried it, and select the first layer group and layer of
// the file. False when there was no readable file (the store is empty); `problem`
// tells why (Missing is the ordinary start without a host).
bool LoadSelection(TJwwEntityStore& store, const std::filesystem::path& exchangeFile,
                   TFileProblem* problem = nullptr);
// The same for the exchange file of the program folder.
bool LoadHostSelection(TJwwEntityStore& store, const std::filesystem::path& programFolder,
                       TFileProblem* problem = nullptr);

// Close: writes the queued lines (or "hq") to the folder's exchange file.
bool HandBackToHost(const TJwwEntityStore& store, const std::filesystem::path& programFolder);

}  // namespace veldra
