// What design, fit and import --resample say on standard error of the table that they placed:
// its points, the figure it reached for each bound beside the bound (the deviation in the
// motion's units, IU in brackets), its peak speed beside the reference's, and its segments
// over the setup's limits; then which bounds it misses and by how much.
#pragma once

#include <GridPlacement.h>
#include <MotionLimits.h>
#include <PreviewUnits.h>
#include <ReferenceMotion.h>

#include <cstdio>
#include <string>

struct PlacementReportSubject {
    std::string command;            // "design"
    std::string inputName;          // the file the reference came from
    std::string referenceName;      // "the profile"
    double referencePeakSpeed = 0;  // IU per time IU
    GridPlacementOptions options;
};

void PrintPlacementReport(const PlacementReportSubject& subject, const GridPlacement& placement,
                          const PreviewUnits& units, const MotionLimits& limits, std::FILE* stream);

// The bounds the placement misses, each with the figure reached, "deviation 1.2 IU over 1 IU;
// ..."; empty when it holds them all. Uniform steps (the user's own choice) miss none.
std::string MissedBounds(const PlacementReportSubject& subject, const GridPlacement& placement);
