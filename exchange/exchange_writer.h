#pragma once

// The exchange file writer: the lines queued during the run (the "bz" echo, the
// picture-placement text command), written back for the host at close.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "exchange/entity_store.h"

namespace veldra {

// Text-type keyword of a text command: 1 "cv" ... 9 "c2", anything else "ch".
const char* TextCommandKeyword(int32_t textType);

// The general number format of text commands: 15 significant digits, plain decimal
// notation without trailing zeros ("1", "-12.5", "0.333333333333333"); magnitudes
// below 1e-5 or from 1e15 on as mantissa, "E" and exponent ("1.5E-7", "2E+20").
std::string FormatGeneral(double value);

// The text that places a picture: "^@BM" + path + "," + width with three decimals.
std::string PictureText(std::string_view picturePath, double width);

// Queues one line, cut to 255 bytes.
void AddOutputLine(TJwwEntityStore& store, std::string_view line);

// Queues a text command (command entry ending in blank + '"', then the text entry)
// when the direction is usable and the text is not blank; otherwise does nothing.
// Non-finite coordinates or directions are not usable either.
void AddTextCommand(TJwwEntityStore& store, int32_t textType, std::string_view text, double x,
                    double y, double dirX, double dirY);

// The bytes of the file: the queued lines (or "hq" when nothing is queued) with CR LF,
// each quote-ended entry joined with the entry after it, in the encoding the exchange
// file came in (UTF-8, with its byte order mark when it had one, or Shift-JIS).
std::string ExchangeFileBytes(const TJwwEntityStore& store);

// Writes ExchangeFileBytes to a temporary file beside `path` and renames it over
// `path`. On any failure the result is false and the host's selection does not stay
// under that name: a regular file there is removed (or emptied when it cannot be
// removed); a folder, FIFO or device is refused and left alone.
bool WriteExchangeFile(const TJwwEntityStore& store, const std::filesystem::path& path);

}  // namespace veldra
