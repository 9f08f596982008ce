// travex-host retime, run as a separate process: every result is translated by the module and
// shown against the same limits, and what is refused writes nothing.
#include <string>
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

TEST_F(HostRetime, SegmentOneAndAHalfTimesTooFastIsStretched) {
    // From rest to rest the speed peaks at 1.5 times the average of 15 IU/IU.
    const std::string motion = Put("fast.ptm", Motion("0 100", "0 1500", 2));
    const std::string out = (dir / "slow.ptm").string();
    const ChildResult result = Host({"retime", motion, "-o", out, "--max-speed", "15"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(Contents(out), Motion("0 150", "0 1500", 2));
    EXPECT_EQ(result.err,
              "Retimed:             per segment\n"
              "Duration:            100 IU before, 150 IU after\n"
              "Segments changed:    1 of 1 (between points 0 and 1)\n"
              "Peak speed:          22.5 IU/IU before, 15 IU/IU after, limit 15 IU/IU\n"
              "Peak acceleration:   0.9 IU/IU\u00B2 before, 0.4 IU/IU\u00B2 after, no limit\n"
              "Peak jerk:           0.018 IU/IU\u00B3 before, 0.00533333 IU/IU\u00B3 after, no "
              "limit\n");
    ExpectValidAndHolding({}, out, {"--max-speed", "15"}, "fast.ptm");

    // Among slower neighbours, only the fast segment and those that share its points change.
    const std::string among =
        Put("among.ptm", Motion("0 100 200 300 400 500 600", "0 100 200 450 550 650 750", 7));
    ASSERT_EQ(Host({"retime", among, "-o", out, "--max-speed", "1.5"}).exitStatus, 0);
    const std::string retimed = Contents(out);
    EXPECT_EQ(LineOf(retimed, "TPOS"), "TPOS[IU]=7: 0 100 200 450 550 650 750");
    ExpectValidAndHolding({}, out, {"--max-speed", "1.5"}, "among.ptm");
    ASSERT_EQ(Host({"retime", among, "-o", out, "--max-speed", "1.5", "--uniform"}).exitStatus, 0);
    ExpectValidAndHolding({}, out, {"--max-speed", "1.5"}, "among.ptm uniformly");
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
            EXPECT_NE(result.err.find("Segments changed:    0 of "), std::string::npos);
        }
    }
}

// Each example on each setup, per segment and uniformly, with limits of speed, acceleration
// and jerk a third below its own peaks: the result is the module's to judge, positions as they
// were, and show finds every limit held.
TEST_F(HostRetime, EveryExampleOnEverySetupHoldsItsLimitsAfterwards) {
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
                EXPECT_EQ(LineOf(Contents(out), "TPOS"), LineOf(source, "TPOS")) << where;
                ExpectValidAndHolding(options, out, limits, where);
            }
        }
    }
}

TEST_F(HostRetime, DurationThatBreaksALimitIsRefusedWithTheLeast) {
    const std::string motion = Put("fast.ptm", Motion("0 100", "0 1500", 2));
    const std::string out = (dir / "out.ptm").string();
    ChildResult result =
        Host({"retime", motion, "-o", out, "--max-speed", "15", "--duration", "120"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err,
              "travex-host: a duration of 120 breaks the limits; the least that holds them is "
              "150 IU\n");
    EXPECT_FALSE(fs::exists(out));
    // Longer or shorter, as long as the limits hold; in another time unit too.
    result = Host({"retime", motion, "-o", out, "--max-speed", "15", "--duration", "0.16 s"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(Contents(out), Motion("0 200", "0 1500", 2));
    result = Host({"retime", motion, "-o", out, "--duration", "60"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(Contents(out), Motion("0 60", "0 1500", 2));
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
    // A step that would have to outgrow what a PT step holds.
    result = Host({"retime", motion, "-o", out, "--max-speed", "0.01"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("65535 IU"), std::string::npos) << result.err;
    result = Host(
        {"retime", (kExamples / "broken-one-point.ptm").string(), "-o", out, "--max-speed", "1"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, std::string(kTooFewPoints) + "\n");
    EXPECT_EQ(Entries(), (std::set<std::string>{"fast.ptm"}));
}

}  // namespace
}  // namespace host_test
