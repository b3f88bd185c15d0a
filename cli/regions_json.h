#pragma once

// The regions as JSON for veldra-cli regions --json, streamed (one document, no line
// end): doubles in the shortest form that reads back to the same bits, a coordinate
// that is not finite as null, the bytes nlohmann::json's compact dump gives.
//
//   loops: {"polygons":[[[x,y],...],...],"openEnds":[[x,y],...]}
//   faces: {"faces":[{"outer":[...],"holes":[[...],...],"depth":0,"filled":true},...],
//           "openEnds":[...],"joins":[[[x,y],[x,y]],...]}

#include <vector>

#include "cli/json_writer.h"
#include "common/real_point.h"
#include "regions/faces.h"

namespace veldra::cli {

void WriteLoopsJson(const TAr2RealPoint& regions, const std::vector<TRealPoint>& openEnds,
                    TJsonWriter& out);
void WriteFacesJson(const TFaceBuild& build, TJsonWriter& out);

}  // namespace veldra::cli
