// What show and plot share: a motion file, checked by the module, turned into its preview in
// the units and against the limits that the user chose.
#pragma once

#include <Deviation.h>
#include <LimitViolations.h>
#include <MotionFigures.h>
#include <MotionProfile.h>
#include <PreviewUnits.h>
#include <StepRules.h>
#include <TrajectoryPreview.h>

#include <string>

#include "HostSession.h"

struct PreviewArguments {
    std::string motionPath;
    std::string positionUnit;  // empty: the unit the motion's text selects
    std::string timeUnit;
    std::string maxSpeed;  // empty: the setup's limit
    std::string maxAcceleration;
    std::string profilePath;  // empty: no profile to compare with
    std::string maxJerk;
    bool keepText = false;  // MotionPreview::text is wanted
    // MotionPreview::figures.segments is wanted; without, MotionFigures::SegmentOf gives a
    // segment's figures when asked (a long motion's would take more memory than its preview).
    bool keepSegmentFigures = true;
};

struct MotionPreview {
    std::string setupName;
    TrajectoryPreview preview;
    MotionFigures figures;
    PreviewUnits units;
    MotionLimits limits;
    // Where each limit comes from: "setup", "--max-speed", ...; empty without the limit.
    std::string speedLimitSource;
    std::string accelerationLimitSource;
    std::string jerkLimitSource;
    std::string text;  // the motion's parameter text as read, when asked for
    std::vector<LimitViolation> violations;
    std::vector<StepNearBound> stepsNearBounds;
    // With --profile: the motion the table is meant to follow, and how far its preview strays.
    bool hasProfile = false;
    MotionProfile profile;
    DeviationPeak deviation;
};

// kExitSuccess with the preview filled in; otherwise the exit status, the reason already told:
// the module's own message for a motion it refuses (kExitRefused), a message for everything
// else (kExitFailure); a fault in the profile as "FILE:LINE: why" after the program's name.
int LoadMotionPreview(const HostOptions& options, const PreviewArguments& arguments,
                      MotionPreview& motion);
