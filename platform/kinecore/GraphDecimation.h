// A curve of any length as a polyline of a few points a pixel column: the first, lowest,
// highest and last point of each run of points in the same column, in their order, which draws
// the same pixels as every point would.
#pragma once

#include <afxdc.h>

#include <vector>

#include "GraphMapping.h"

// Points first..last (inclusive) of xs/ys into `polyline`, replacing its contents.
void DecimateCurve(const double* xs, const double* ys, int first, int last,
                   const CGraphMapping& mapping, std::vector<POINT>& polyline);
