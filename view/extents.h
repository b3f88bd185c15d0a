#pragma once

// Extents of the drawing in view units: an axis-parallel rectangle around every
// stored entity (also those never drawn), with a margin of 100 around a single
// entity and a default rectangle for an empty store. Every extent is bounded to
// +-1e8 so that fitting never meets an infinite or unbounded size.

#include <cstdint>

#include "view/view_state.h"

namespace veldra {

struct TJwwEntityStore;

inline constexpr double kExtentLimit = 1e8;
// Widening around a single entity, and the half size of an empty store's extents.
inline constexpr double kSingleEntityMargin = 100.0;

// Writes extentLeft..extentTop of `view` from the whole store.
void ComputeExtents(const TJwwEntityStore& store, TViewState& view);

// All four extents to (x / divisor, y / divisor), then bounded.
void StartExtents(TViewState& view, double x, double y, double divisor);
// Grows the extents to include (x / divisor, y / divisor), then bounds them.
void AddExtentPoint(TViewState& view, double x, double y, double divisor);
// Adds the end points and the quadrant points of the (untilted) parameter that the
// elliptic arc passes through; a zero sweep is the whole ellipse. Angles in degrees.
void AddArcExtents(TViewState& view, double cx, double cy, double r, double startDeg, double endDeg,
                   double flatness, double tiltDeg, double divisor);

}  // namespace veldra
