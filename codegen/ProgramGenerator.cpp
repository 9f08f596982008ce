// The PT program of a motion: set-up of the PT mode, one PTP line a point after the origin, the
// start of the motion and, on request, the wait for its end.
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "codegen/ProgramLength.h"
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

// A little more than a PTP line without its unit names, so that one reservation is enough.
constexpr std::int64_t kPointLineLength = 72;
// The longest PTP line without its unit names and printed values: the fixed text and two 64-bit
// operands.
constexpr std::size_t kLongestPointLineFrame = 32 + 2 * 20;
// Lines are gathered into blocks of about this many bytes before they join the program.
constexpr std::size_t kBlockLength = 1 << 16;
// A long motion's points are released in about this many parts as the program is written, none
// smaller than the second figure.
constexpr int kPartsReleased = 16;
constexpr int kPointsReleasedTogether = 1 << 16;

char* Put(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

char* PutOperand(char* out, long long value) { return std::to_chars(out, out + 20, value).ptr; }

char* PutText(char* out, const CString& text) {
    return Put(out, std::string_view(text, static_cast<std::size_t>(text.GetLength())));
}

}  // namespace

int ProgramLengthEstimate(int headLength, int pointCount, std::size_t unitNamesLength) {
    constexpr std::int64_t kLongest = INT_MAX;
    const std::int64_t lines = pointCount > 1 ? pointCount - 1 : 0;
    // A unit name beyond the cap already makes every line too long to estimate.
    const std::int64_t lineLength =
        kPointLineLength +
        static_cast<std::int64_t>(unitNamesLength < kLongest ? unitNamesLength : kLongest);
    if (lines > 0 && lineLength > (kLongest - headLength) / lines) return INT_MAX;
    return static_cast<int>(headLength + lines * lineLength);
}

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
        const std::string_view positionUnit = m_Position.GetSelectedUnit();
        const std::string_view timeUnit = m_Time.GetSelectedUnit();
        code.Preallocate(
            ProgramLengthEstimate(code.GetLength(), count, positionUnit.size() + timeUnit.size()));
        // Each line is "  PTP %lldL, %lldU, 0; //PT(%s[%s],%s[%s])\r\n", put together piece by
        // piece: printf-style formatting took most of the time of a long translation.
        const std::size_t frame = kLongestPointLineFrame + positionUnit.size() + timeUnit.size();
        // Lines gather in a block that goes to the program when it is nearly full: one append
        // per line cost more than the line's own formatting.
        std::string block(kBlockLength + frame + 64, '\0');
        std::size_t used = 0;
        std::int64_t previousPosition = 0;
        std::int64_t previousTime = 0;
        // The points used up leave the arrays a part at a time, which gives their memory
        // back while the program grows: a long motion's program and points are never both
        // whole. The record has then lost them: the program is the last thing made of it.
        const int part = std::max(kPointsReleasedTogether, count / kPartsReleased);
        int released = 0;
        for (int i = 1; i < count; ++i) {
            if (i - released > part) {
                m_Position.RemoveValueAt(0, i - released);
                m_Time.RemoveValueAt(0, i - released);
                released = i;
            }
            const int at = i - released;
            const std::int64_t position = TruncateIU(m_Position.GetValueInInternalUnit(at));
            const std::int64_t time = TruncateIU(m_Time.GetValueInInternalUnit(at));
            const CString shownPosition = m_Position.PrintValue(at);
            const CString shownTime = m_Time.PrintValue(at);
            const std::size_t longest = frame +
                                        static_cast<std::size_t>(shownPosition.GetLength()) +
                                        static_cast<std::size_t>(shownTime.GetLength());
            if (block.size() - used < longest) {
                code.Append(block.data(), static_cast<int>(used));
                used = 0;
                if (block.size() < longest) block.resize(longest);
            }
            char* const start = block.data() + used;
            char* out = Put(start, "  PTP ");
            out = PutOperand(out, Step(position, previousPosition));
            out = Put(out, "L, ");
            out = PutOperand(out, Step(time, previousTime));
            out = Put(out, "U, 0; //PT(");
            out = PutText(out, shownPosition);
            out = Put(out, "[");
            out = Put(out, positionUnit);
            // Point 1 carries its own values, which equal the step from the origin (0, 0).
            out = Put(out, i == 1 ? "], " : "],");
            out = PutText(out, shownTime);
            out = Put(out, "[");
            out = Put(out, timeUnit);
            out = Put(out, "])\r\n");
            used += static_cast<std::size_t>(out - start);
            if (i == 1) {
                code.Append(block.data(), static_cast<int>(used));
                used = 0;
                if (m_nExecute == 0) code += "  UPD; //Execute immediate\r\n";
                if (m_nExecute == 1) code += "  UPD!; //Execute on event\r\n";
            }
            previousPosition = position;
            previousTime = time;
        }
        code.Append(block.data(), static_cast<int>(used));
    }

    if (m_nExecute == 0 && m_nWaitForCompletion) code += "  !MC; WAIT!; //wait for completion\r\n";
    return code;
}
