// The point list's check before it may become a PT program: each bound matches an operand that
// the program generator writes (time step: 16 bits unsigned, position step: 32 bits signed).
#include <cmath>

#include "params/InternalData.h"

namespace {

constexpr double kMaxTimeStep = 65535.0;
constexpr double kMaxPositionStep = 2147483647.0;

CString PointMessage(const char* format, int point) {
    CString message;
    message.Format(format, point);
    return message;
}

}  // namespace

CString CInternalData::ValidatePoints(int& badPoint) {
    const int count = m_Time.GetValuesCount();
    if (count <= 1 || m_Position.GetValuesCount() != count) {
        badPoint = 0;
        return "Invalid number of points. You should have at least 2 points.";
    }
    if (m_Time.GetValueInInternalUnit(0) != 0.0 || m_Position.GetValueInInternalUnit(0) != 0.0) {
        badPoint = 0;
        return "Invalid values for first point. It should be (P, t)(0) = (0, 0).";
    }

    const double minTime = m_Time.GetMinInInternalUnit();
    const double maxTime = m_Time.GetMaxInInternalUnit();
    double previousTime = 0.0;
    double previousPosition = 0.0;
    for (int i = 1; i < count; ++i) {
        const double time = m_Time.GetValueInInternalUnit(i);
        const double position = m_Position.GetValueInInternalUnit(i);
        // Written as "not inside" so that a NaN fails too instead of slipping through.
        if (!(time >= minTime && time <= maxTime)) {
            badPoint = i;
            return "Time value is out of bounds.";
        }
        // The program truncates times to whole IU: two times within one IU would make a
        // segment of no time, which a drive cannot run.
        if (time <= previousTime || std::trunc(time) <= std::trunc(previousTime)) {
            badPoint = i;
            return PointMessage("Time value of point %d is identical with previous point.", i);
        }
        if (time - previousTime > kMaxTimeStep) {
            badPoint = i;
            return PointMessage("Time value of point %d is too distant from the previous point", i);
        }
        if (!(std::fabs(position - previousPosition) <= kMaxPositionStep)) {
            badPoint = i;
            return PointMessage(
                "Position value of point %d is too far away from the previous point", i);
        }
        previousTime = time;
        previousPosition = position;
    }
    return CString();
}
