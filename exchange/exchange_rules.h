#pragma once

// Internal to the reader: the two halves of the dispatch table.

#include "exchange/entity_staging.h"
#include "exchange/entity_store.h"
#include "exchange/exchange_tokenizer.h"

namespace veldra::exchange_rules {

// Header, attribute, mode and reference-point lines. True when a rule took the line.
bool ApplyStateRule(TJwwEntityStore& store, const TExchangeFields& f);

// Entity lines (circle, arc, text, dimension, points, block, solids, bare line).
// The records go to `staged`. True when a rule took the line.
bool ApplyEntityRule(TEntityStaging& staged, const TExchangeFields& f);

}  // namespace veldra::exchange_rules
