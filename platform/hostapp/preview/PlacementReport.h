// What design and fit say on standard error of the table that they placed: its points, how far
// its preview strays from the reference and where, its peak speed and acceleration beside the
// reference's, and its segments over the setup's limits.
#pragma once

#include <DriveLimits.h>
#include <GridPlacement.h>
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
                          const ReferenceMotion& reference, const PreviewUnits& units,
                          const CMC_DriveLimits& limits, std::FILE* stream);
