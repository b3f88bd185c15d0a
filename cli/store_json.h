#pragma once

// The entity store as JSON for veldra-cli: the drawing header state under the
// format's field names, and every entity in creation order. Texts are decoded from
// Shift-JIS to UTF-8; doubles are written so that they read back bit for bit.
//
// A document is {"state": StateToJson(...), "entities": EntitiesToJson(...)}; other
// sub-commands add their own top-level members (for example "extents") beside these.

#include <nlohmann/json.hpp>

#include "cli/json_writer.h"
#include "exchange/entity_store.h"

namespace veldra::cli {

nlohmann::ordered_json StateToJson(const TJwwDrawingState& state);
nlohmann::ordered_json EntityToJson(const TJwwEntityStore& store, const TJwwEntityRef& ref);
nlohmann::ordered_json EntitiesToJson(const TJwwEntityStore& store);
// {"state": ..., "entities": ...}
nlohmann::ordered_json StoreToJson(const TJwwEntityStore& store);

// StoreToJson with the members of `extra` after "entities", as dump(1, ' ', false,
// replace) writes it (no line end after it), streamed: one entity is held at a time.
void WriteStoreJson(const TJwwEntityStore& store, const nlohmann::ordered_json& extra,
                    TJsonWriter& out);

// Human names of the entity kinds ("line", "circle", ...), for summaries.
const char* EntityKindName(EntityKind kind);

}  // namespace veldra::cli
