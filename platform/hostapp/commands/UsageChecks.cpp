#include "commands/UsageChecks.h"

#include <strings.h>

#include <charconv>
#include <cmath>
#include <vector>

CLI::Validator WholeNumberFrom(int low, int high) {
    const std::string range = std::to_string(low) + " to " + std::to_string(high);
    return CLI::Validator(
        [low, high, range](std::string& value) -> std::string {
            long long number = 0;
            const char* end = value.data() + value.size();
            const auto result = std::from_chars(value.data(), end, number);
            if (value.empty() || result.ptr != end || result.ec == std::errc::invalid_argument) {
                return "takes a whole number from " + range + ", not \"" + value + "\"";
            }
            if (result.ec == std::errc::result_out_of_range || number < low || number > high) {
                return "takes a number from " + range + ", not " + value;
            }
            return {};
        },
        "", "");
}

CLI::Validator OneOf(std::initializer_list<const char*> choices) {
    const std::vector<std::string> names(choices.begin(), choices.end());
    return CLI::Validator(
        [names](std::string& value) -> std::string {
            std::string listed;
            for (const std::string& name : names) {
                if (strcasecmp(name.c_str(), value.c_str()) == 0) {
                    value = name;
                    return {};
                }
                listed += (listed.empty() ? "" : " or ") + name;
            }
            return "takes " + listed + ", not \"" + value + "\"";
        },
        "", "");
}

CLI::Validator NumberAbove0() {
    return CLI::Validator(
        [](std::string& value) -> std::string {
            double number = 0;
            const char* end = value.data() + value.size();
            const auto result = std::from_chars(value.data(), end, number);
            if (value.empty() || result.ptr != end || result.ec != std::errc() ||
                !std::isfinite(number) || number <= 0) {
                return "takes a number above 0, not \"" + value + "\"";
            }
            return {};
        },
        "", "");
}
