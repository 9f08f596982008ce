// The PT program of a motion: set-up of the PT mode, one PTP line a point after the origin, the
// start of the motion and, on request, the wait for its end.
#include <cmath>
#include <cstdint>

#include "params/InternalData.h"
#include "params/ParameterKeys.h"

namespace {

// A value in IU as the drive's integer operand: truncated toward zero. Positions may lie beyond
// 32 bits while each step stays within them, so the operands are kept in 64 bits and the steps
// are taken there. Values beyond 64 bits cannot pass the validation; they are saturated so that
// even a direct call stays defined.
std::int64_t TruncateIU(double value) {
    if (std::isnan(value)) return 0;
    constexpr double kLimit = 9223372036854775807.0;  // 2^63, the first double beyond int64
    if (value >= kLimit) return INT64_MAX;
    if (value <= -kLimit) return INT64_MIN;
    return static_cast<std::int64_t>(value);
}

// The difference of two operands; modular, so that even saturated operands stay defined.
long long Step(std::int64_t to, std::int64_t from) {
    return static_cast<long long>(static_cast<std::uint64_t>(to) -
                                  static_cast<std::uint64_t>(from));
}

// About the length of one PTP line, so that a long program is built with few reallocations.
constexpr int kPointLineReserve = 72;

}  // namespace

CString CInternalData::GenerateCode() {
    CString code;
    CString line;

    if (m_nExecute == 1) {
        line.Format("  //Define event: %s\r\n",
                    static_cast<const char*>(m_Event.GetDescription(0)));
        code += line;
        code += m_Event.GenerateMLCode();
    }
    if (m_bSetHostAddress) {
        // Shifted as the drive's 32-bit arithmetic does; unsigned, so that no address overflows.
        const int value = static_cast<int>(static_cast<unsigned>(m_nHostAddress) * 16u + 1u);
        line.Format("  %s = %d; // Set host address to %d\r\n", pt_keys::kHostAddress, value,
                    m_nHostAddress);
        code += line;
    }
    code += m_nClearBuffer ? "  SETPT 0xCF00; //Clear PT buffer\r\n"
                           : "  SETPT 0x4F00; //Leave PT buffer intact\r\n";
    code += "  MODE PT; // Set PT Mode\r\n";
    code += m_nStartPoint ? "  TUM0;//Start from actual value of position\r\n"
                          : "  TUM1;//Start from actual value of position reference\r\n";
    code += "  CPR;\r\n";

    const int count = m_Time.GetValuesCount();
    if (count >= 2 && m_Position.GetValuesCount() == count) {
        code.Preallocate(code.GetLength() + count * kPointLineReserve);
        const char* positionUnit = m_Position.GetSelectedUnit();
        const char* timeUnit = m_Time.GetSelectedUnit();
        std::int64_t previousPosition = 0;
        std::int64_t previousTime = 0;
        for (int i = 1; i < count; ++i) {
            const std::int64_t position = TruncateIU(m_Position.GetValueInInternalUnit(i));
            const std::int64_t time = TruncateIU(m_Time.GetValueInInternalUnit(i));
            // Point 1 carries its own values, which equal the step from the origin (0, 0).
            const char* format = i == 1 ? "  PTP %lldL, %lldU, 0; //PT(%s[%s], %s[%s])\r\n"
                                        : "  PTP %lldL, %lldU, 0; //PT(%s[%s],%s[%s])\r\n";
            line.Format(format, Step(position, previousPosition), Step(time, previousTime),
                        static_cast<const char*>(m_Position.PrintValue(i)), positionUnit,
                        static_cast<const char*>(m_Time.PrintValue(i)), timeUnit);
            code += line;
            if (i == 1 && m_nExecute == 0) code += "  UPD; //Execute immediate\r\n";
            if (i == 1 && m_nExecute == 1) code += "  UPD!; //Execute on event\r\n";
            previousPosition = position;
            previousTime = time;
        }
    }

    if (m_nExecute == 0 && m_nWaitForCompletion) code += "  !MC; WAIT!; //wait for completion\r\n";
    return code;
}
