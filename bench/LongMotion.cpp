#include "LongMotion.h"

#include <ArrayParameterHost.h>
#include <DriveSetup.h>
#include <MC_ArrayParameter.h>
#include <MC_EditMotionInternalData.h>
#include <MC_Motion.h>

#include <algorithm>
#include <cmath>

namespace {

class MotionWriter : public CMC_EditMotionInternalData {
public:
    using CMC_EditMotionInternalData::CMC_EditMotionInternalData;
    int ReadParameters(CString&, CString&) override { return 0; }
    void WriteParameters(CString&) override {}
};

}  // namespace

LongMotion MakeLongMotion(int count) {
    constexpr double kLastTime = 2147483646.0;
    constexpr double kStepUnit = 0.8;
    const auto steps = static_cast<unsigned>(
        std::min(1000.0, std::floor(kLastTime / (kStepUnit * std::max(1, count - 1)))));
    LongMotion motion;
    motion.times.reserve(static_cast<size_t>(count));
    motion.positions.reserve(static_cast<size_t>(count));
    unsigned seed = 12345;
    double time = 0;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        if (i > 0) time += kStepUnit * static_cast<double>(2 + (seed >> 16) % (steps - 1));
        motion.times.push_back(time);
        motion.positions.push_back(
            i == 0 ? 0 : std::round(2000.0 * 40.0 * std::sin(i * 1e-4) * 10.0) / 10.0);
    }
    return motion;
}

std::string MotionText(const LongMotion& motion) {
    auto setup = CDriveSetup::CreateDefault();
    CMC_Motion owner(*setup);
    MotionWriter writer(*setup, owner);
    CMC_ArrayParameter times(*setup);
    CMC_ArrayParameter positions(*setup);
    CArrayParameterHost::BindToKey(times, "ATIME");
    CArrayParameterHost::BindToKey(positions, "TPOS");
    CArrayParameterHost::SetValuesInInternalUnit(times, motion.times);
    CArrayParameterHost::SetValuesInInternalUnit(positions, motion.positions);
    CString text;
    writer.WriteRadioParam(text, "ClearBuffer", 1);
    writer.WriteArrayDataParam(text, times);
    writer.WriteArrayDataParam(text, positions);
    writer.WriteRadioParam(text, "Execute", 0);
    writer.WriteRadioParam(text, "WaitForCompletion", 1);
    return text.str();
}
