// travex-host retime, run as a separate process: every result is translated by the module and
// shown against the same limits, and what is refused writes nothing.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "host_scratch_folder.h"

namespace host_test {
namespace {

const fs::path kExamples = kSourceDir / "examples";

using HostRetime = HostScratchFolder;

std::string Motion(const std::string& times, const std::string& positions, int count) {
    return "ClearBuffer=1\nATIME[IU]=" + std::to_string(count) + ": " + times +
           "\nTPOS[IU]=" + std::to_string(count) + ": " + positions +
           "\nExecute=0\nWaitForCompletion=1\n";
}

std::string LineOf(const std::string& text, const std::string& key) {
    const size_t at = text.find("\n" + key);
    if (at == std::string::npos) return {};
    return text.substr(at + 1, text.find('\n', at + 1) - at - 1);
}

// What every result must pass: the module translates it, and show finds no limit exceeded.
void ExpectValidAndHolding(const std::vector<std::string>& setup, const std::string& path,
                           const std::vector<std::string>& limits, const std::string& where) {
    std::vector<std::string> translate = setup, show = setup;
    translate.insert(translate.end(), {"translate", path});
    show.insert(show.end(), {"show", path, "--strict"});
    show.insert(show.end(), limits.begin(), limits.end());
    EXPECT_EQ(Host(translate).exitStatus, 0) << where;
    const ChildResult shown = Host(show);
    EXPECT_EQ(shown.exitStatus, 0) << where << "\n" << shown.out;
}

// The last time of a motion's ATIME entry, in the unit it is written in.
double LastTime(const std::string& text) {
    const std::string line = LineOf(text, "ATIME");
    return std::stod(line.substr(line.find_last_of(' ') + 1));
}

// "X IU net, Y IU in all" from show in IU.
std::pair<double, double> Travel(const std::vector<std::string>& setup, const std::string& path) {
    std::vector<std::string> show = setup;
    show.insert(show.end(), {"show", path, "--position-unit", "IU"});
    const std::string out = Host(show).out;
    const size_t at = out.find("Travel:");
    if (at == std::string::npos) return {-1, -1};
    const std::string line = out.substr(at + 7, out.find('\n', at) - at - 7);
    const size_t comma = line.find(", ");
    return {std::stod(line), std::stod(line.substr(comma + 2))};
}

TEST_F(HostRetime, SegmentOneAndAHalfTimesTooFastIsSlowed) {
    // From rest to rest the speed peaks at 1.5 times the average of 15 IU/IU: 150 IU bring it
    // down to 15. Shown in the setup's first units (rot, s), with IU in brackets.
    const std::string motion = Put("fast.ptm", Motion("0 100", "0 1500", 2));
    const std::string out = (dir / "slow.ptm").string();
    ChildResult result =
        Host({"retime", motion, "-o", out, "--max-speed", "15 IU/IU", "--uniform"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(Contents(out), Motion("0 150", "0 1500", 2));
    EXPECT_EQ(result.err.substr(0, result.err.find("; fastest")),
              "Retimed:             uniformly\n"
              "Duration:            0.08 s [100 IU] before, 0.12 s [150 IU] after");
    EXPECT_NE(result.err.find("Points:              2 before, 2 after\n"
                              "Peak speed:          14.0625 rot/s [22.5 IU/IU] before, 9.375 rot/s "
                              "[15 IU/IU] after, limit 9.375 rot/s [15 IU/IU]\n"),
              std::string::npos)
        << result.err;
    ExpectValidAndHolding({}, out, {"--max-speed", "15 IU/IU"}, "fast.ptm uniformly");

    // Per segment: no longer, the limit held, the path kept.
    result = Host({"retime", motion, "-o", out, "--max-speed", "15 IU/IU"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_LE(LastTime(Contents(out)), 150);
    ExpectValidAndHolding({}, out, {"--max-speed", "15 IU/IU"}, "fast.ptm per segment");
    const auto [net, inAll] = Travel({}, out);
    EXPECT_EQ(net, 1500);
    EXPECT_NEAR(inAll, 1500, 1);
}

// The worked example of the README speaks in rot and s, as its user does.
TEST_F(HostRetime, MotionInIuIsReportedInTheUnitsItsUserWorksIn) {
    const std::string out = (dir / "faster.ptm").string();
    const ChildResult result = Host({"retime", (kExamples / "worked-example.ptm").string(), "-o",
                                     out, "--max-speed", "15 rot/s", "--duration", "0.2 s"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err,
              "travex-host: a duration of 0.2 s breaks the limits; the least that holds them is "
              "0.2696 s [337 IU]\n");
    EXPECT_EQ(result.err.find("IU/IU"), std::string::npos);
}

// design of poly345 200 mm in 0.4 s on the linear axis (500 mm/s, 5 m/s²): the law needs
// 0.75 s, the fastest along its path is a trapezoid of 0.5 s.
TEST_F(HostRetime, DesignedPoly345IsRetimedCloseToItsLeastAndToTheFastest) {
    const std::vector<std::string> setup = {"--setup",
                                            (kExamples / "setups" / "linear-drive.ini").string()};
    const std::string profile = Put("poly345.txt", "poly345 200 mm 0.4 s\n");
    const std::string designed = (dir / "designed.ptm").string();
    std::vector<std::string> design = setup;
    design.insert(design.end(), {"design", profile, "-o", designed, "--time-unit", "ms"});
    ASSERT_EQ(Host(design).exitStatus, 0);
    const auto [net, inAll] = Travel(setup, designed);
    const std::string out = (dir / "out.ptm").string();
    const auto retime = [&](std::vector<std::string> extra) {
        std::vector<std::string> arguments = setup;
        arguments.insert(arguments.end(), {"retime", designed, "-o", out});
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        fs::remove(out);
        return Host(arguments);
    };
    ASSERT_EQ(retime({"--uniform"}).exitStatus, 0);
    EXPECT_NEAR(LastTime(Contents(out)), 750, 15);  // ms
    ASSERT_EQ(retime({}).exitStatus, 0);
    EXPECT_LE(LastTime(Contents(out)), 525);
    const auto [netAfter, inAllAfter] = Travel(setup, out);
    EXPECT_EQ(netAfter, net);
    EXPECT_NEAR(inAllAfter, inAll, 2);
    ExpectValidAndHolding(setup, out, {}, "per segment");

    // The least duration, from the refusal of a shorter one: one ms less is refused, every
    // duration from it on is taken and holds the limits.
    const ChildResult refused = retime({"--duration", "0.1 s"});
    ASSERT_EQ(refused.exitStatus, 1);
    const size_t at = refused.err.find("is ");
    ASSERT_NE(at, std::string::npos) << refused.err;
    const double least = std::stod(refused.err.substr(refused.err.rfind("is ") + 3));
    EXPECT_NEAR(least, 750, 15);
    EXPECT_EQ(
        retime({"--duration", std::to_string(static_cast<int>(least) - 1) + " ms"}).exitStatus, 1);
    for (const int more : {0, 1, 2, 5, 13, 100}) {
        const std::string duration = std::to_string(static_cast<int>(least) + more) + " ms";
        ASSERT_EQ(retime({"--duration", duration}).exitStatus, 0) << duration;
        EXPECT_EQ(LastTime(Contents(out)), least + more);
        ExpectValidAndHolding(setup, out, {}, duration);
    }
}

// A setup whose only limit is the jerk: what retime writes, show finds within it, judged the
// same way, for a law whose preview jerk is far above its own.
TEST_F(HostRetime, SetupWithOnlyAJerkLimitIsHeldAfterRetime) {
    std::string linear = Contents(kExamples / "setups" / "linear-drive.ini");
    linear = linear.substr(0, linear.find("[Limits]")) + "[Limits]\nMaxJerk=2000 mm/s^3\n";
    const std::vector<std::string> setup = {"--setup", Put("jerk.ini", linear)};
    const std::string profile = Put("cycloidal.txt", "cycloidal 5 mm 0.1 s\n");
    const std::string designed = (dir / "designed.ptm").string();
    std::vector<std::string> design = setup;
    design.insert(design.end(), {"design", profile, "-o", designed, "--time-unit", "ms"});
    ASSERT_EQ(Host(design).exitStatus, 0);
    std::vector<std::string> show = setup;
    show.insert(show.end(), {"show", designed, "--strict"});
    ASSERT_EQ(Host(show).exitStatus, 1);
    const auto [net, inAll] = Travel(setup, designed);
    for (const char* mode : {"--uniform", ""}) {
        const std::string out = (dir / "out.ptm").string();
        std::vector<std::string> retime = setup;
        retime.insert(retime.end(), {"retime", designed, "-o", out});
        if (*mode) retime.push_back(mode);
        const ChildResult result = Host(retime);
        ASSERT_EQ(result.exitStatus, 0) << mode << result.err;
        ExpectValidAndHolding(setup, out, {}, mode);
        const auto [netAfter, inAllAfter] = Travel(setup, out);
        EXPECT_EQ(netAfter, net) << mode;
        EXPECT_NEAR(inAllAfter, inAll, 2) << mode;
        fs::remove(out);
    }
}

TEST_F(HostRetime, MotionWithinItsLimitsIsWrittenByteForByte) {
    for (const char* name : {"worked-example.ptm", "s-curve-10rot.ptm", "on-input-event.ptm"}) {
        const std::string out = (dir / name).string();
        for (const char* mode : {"--uniform", "--max-jerk"}) {
            std::vector<std::string> arguments = {
                "retime", (kExamples / name).string(), "-o", out, "--max-speed", "1e6 IU/IU"};
            if (std::string(mode) == "--uniform") {
                arguments.push_back(mode);
            } else {
                arguments.insert(arguments.end(), {mode, "1e6 IU/IU^3"});
            }
            const ChildResult result = Host(arguments);
            ASSERT_EQ(result.exitStatus, 0) << name << result.err;
            EXPECT_EQ(Contents(out), Contents(kExamples / name)) << name;
            // The report says so: the same duration and points before and after.
            const std::string duration = LineOf("\n" + result.err, "Duration:");
            const size_t before = duration.find(" before, ");
            ASSERT_NE(before, std::string::npos) << result.err;
            EXPECT_EQ(duration.substr(21, before - 21),
                      duration.substr(before + 9, duration.find(" after") - before - 9));
            const std::string points = LineOf("\n" + result.err, "Points:");
            EXPECT_EQ(points.substr(21, points.find(" before") - 21),
                      points.substr(points.find(", ") + 2,
                                    points.find(" after") - points.find(", ") - 2));
        }
    }
}

// Each example on each setup, per segment and uniformly, with limits of speed, acceleration
// and jerk: the result is the module's to judge, its travel the table's (net exactly, in all
// within an IU a segment), and show finds every limit held.
TEST_F(HostRetime, EveryExampleOnEverySetupHoldsItsLimitsAfterwards) {
#ifdef TRAVEX_SANITIZED
    GTEST_SKIP() << "left out under the sanitizers, where its retimes take most of an hour; the "
                    "plain build runs it";
#endif
    std::vector<std::string> setups = {""};
    for (const auto& entry : fs::directory_iterator(kExamples / "setups")) {
        setups.push_back(entry.path().string());
    }
    const std::string out = (dir / "out.ptm").string();
    for (const auto& entry : fs::directory_iterator(kExamples)) {
        if (entry.path().extension() != ".ptm") continue;
        const std::string source = Contents(entry.path());
        for (const std::string& setup : setups) {
            std::vector<std::string> options;
            if (!setup.empty()) options = {"--setup", setup};
            std::vector<std::string> translate = options;
            translate.insert(translate.end(), {"translate", entry.path().string()});
            const ChildResult translated = Host(translate);
            const std::vector<std::string> limits = {"--max-speed",        "3 IU/IU",
                                                     "--max-acceleration", "0.05 IU/IU^2",
                                                     "--max-jerk",         "0.0005 IU/IU^3"};
            for (const bool uniform : {false, true}) {
                const std::string where = entry.path().filename().string() + " on " + setup +
                                          (uniform ? " uniformly" : " per segment");
                fs::remove(out);
                std::vector<std::string> retime = options;
                retime.insert(retime.end(), {"retime", entry.path().string(), "-o", out});
                retime.insert(retime.end(), limits.begin(), limits.end());
                if (uniform) retime.push_back("--uniform");
                const ChildResult result = Host(retime);
                EXPECT_EQ(result.exitStatus, translated.exitStatus) << where << result.err;
                if (translated.exitStatus != 0) {
                    EXPECT_EQ(result.err, translated.err) << where;
                    EXPECT_FALSE(fs::exists(out)) << where;
                    continue;
                }
                const auto [net, inAll] = Travel(options, entry.path().string());
                const auto [netAfter, inAllAfter] = Travel(options, out);
                EXPECT_EQ(netAfter, net) << where;
                EXPECT_NEAR(inAllAfter, inAll, 1 + std::count(source.begin(), source.end(), ' '))
                    << where;
                ExpectValidAndHolding(options, out, limits, where);
            }
        }
    }
}

TEST_F(HostRetime, DurationIsHeldFromTheLeastOnAndRefusedBelowIt) {
    const std::string motion = Put("fast.ptm", Motion("0 100", "0 1500", 2));
    const std::string out = (dir / "out.ptm").string();
    ChildResult result =
        Host({"retime", motion, "-o", out, "--max-speed", "15 IU/IU", "--duration", "149 IU"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err,
              "travex-host: a duration of 149 IU breaks the limits; the least that holds them is "
              "0.12 s [150 IU]\n");
    EXPECT_FALSE(fs::exists(out));
    for (int duration = 150; duration <= 160; ++duration) {
        const std::string text = std::to_string(duration) + " IU";
        result = Host({"retime", motion, "-o", out, "--max-speed", "15 IU/IU", "--duration", text});
        ASSERT_EQ(result.exitStatus, 0) << text << result.err;
        EXPECT_EQ(LastTime(Contents(out)), duration);
        ExpectValidAndHolding({}, out, {"--max-speed", "15 IU/IU"}, text);
    }
    // In another time unit, and without limits.
    result = Host({"retime", motion, "-o", out, "--max-speed", "15 IU/IU", "--duration", "0.16 s"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(Contents(out), Motion("0 200", "0 1500", 2));
    result = Host({"retime", motion, "-o", out, "--duration", "60 IU"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(Contents(out), Motion("0 60", "0 1500", 2));
    // Too long is said to be too long, with the longest a motion holds.
    result = Host({"retime", motion, "-o", out, "--duration", "1e12 s"});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err,
              "travex-host: --duration \"1e12 s\" is too long: a motion holds at most 1717986.9168 "
              "s [2147483646 IU]\n");
}

TEST_F(HostRetime, RefusalsWriteNothing) {
    const std::string motion = Put("fast.ptm", Motion("0 100", "0 1500", 2));
    const std::string out = (dir / "out.ptm").string();
    ChildResult result = Host({"retime", motion, "-o", out});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err,
              "travex-host: there is no limit to hold: the setup has none, and neither "
              "--max-speed, --max-acceleration nor --max-jerk is given\n");
    EXPECT_EQ(Host({"retime", motion, "-o", motion, "--max-speed", "1"}).exitStatus, 2);
    EXPECT_EQ(Contents(motion), Motion("0 100", "0 1500", 2));
    EXPECT_EQ(
        Host({"retime", motion, "-o", out, "--max-speed", "1", "--uniform", "--duration", "5"})
            .exitStatus,
        2);
    // A pace that no motion can hold is refused at once.
    result = Host({"retime", motion, "-o", out, "--max-speed", "1e-9 IU/IU"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("more than the 2147483646 that a motion can hold"), std::string::npos)
        << result.err;
    result = Host(
        {"retime", (kExamples / "broken-one-point.ptm").string(), "-o", out, "--max-speed", "1"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, std::string(kTooFewPoints) + "\n");
    EXPECT_EQ(Entries(), (std::set<std::string>{"fast.ptm"}));
}

}  // namespace
}  // namespace host_test
