// Fuzz target for the exchange file reader: any bytes must read without a crash,
// a hang or undefined behaviour, and leave a store whose lists agree with each other.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "exchange/exchange_reader.h"
#include "exchange/exchange_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace veldra;
    TJwwEntityStore store;
    InitStore(store);
    TExchangeReadStats stats;
    ReadExchangeBytes(store, std::string_view(reinterpret_cast<const char*>(data), size), &stats);

    // The creation order names only records that exist.
    for (const TJwwEntityRef& ref : store.creationOrder) {
        if (ref.index < 0 || static_cast<size_t>(ref.index) >= store.CountOf(ref.kind))
            std::abort();
    }
    const TJwwDrawingState& s = store.state;
    if (s.curLayerGroup < 0 || s.curLayerGroup > 15 || s.curLayer < 0 || s.curLayer > 15)
        std::abort();
    if (s.curCc < 0 || s.curCc > 8) std::abort();
    for (const TJwwEntText& t : store.texts)
        if (t.text.size() > kMaxRecordText || t.fontName.size() > kMaxRecordText) std::abort();

    // What was read can be queued and formatted back: the writer's half of the format.
    for (const TJwwEntText& t : store.texts)
        AddTextCommand(store, t.textType, t.text, t.x, t.y, t.dirX, t.dirY);
    for (const TJwwEntLine& l : store.lines) FormatGeneral(l.x1 * l.y2);
    return 0;
}
