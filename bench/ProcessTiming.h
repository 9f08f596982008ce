// travex-host timed as a whole process, run after run: wall time and peak memory, as a user
// would meet them.
#pragma once

#include <string>
#include <vector>

struct ProcessRun {
    int exitStatus = -1;    // -1 when it could not be started or did not exit normally
    double seconds = 0;     // wall time
    double cpuSeconds = 0;  // user and system time: what the run took of the processors
    long peakKiB = 0;
};

// Runs `program` with `arguments` and waits for it to end; its standard output goes into the
// file `stdoutPath` where one is named.
ProcessRun TimeProcess(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& stdoutPath = {});

// The benchmarks are built beside travex-host, so that is where they look for it by default.
std::string ProgramBeside(const char* name);

// Runs `program` `repeat` times, printing each run's figures. The first run that fails is
// reported on standard error and ends the series: the result is then empty.
std::vector<ProcessRun> TimeRuns(const std::string& program,
                                 const std::vector<std::string>& arguments, int repeat,
                                 const std::string& stdoutPath = {});

struct RunSummary {
    double medianSeconds = 0;  // the median resists a run slowed by something else
    double peakMB = 0;         // the largest of all runs
};

// The middle value of a series that is not empty: it resists a run slowed by something else.
double Median(std::vector<double> values);

// `runs`: a series that TimeRuns completed, so never empty.
RunSummary Summarize(std::vector<ProcessRun> runs);
