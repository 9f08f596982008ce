// Faults in a resource script: every one names the file and the line it was found on.
#pragma once

#include <stdexcept>
#include <string>

namespace travexrc {

struct SourceLocation {
    std::string file;
    int line = 0;  // 0: the fault concerns the file as a whole
};

class ScriptError : public std::runtime_error {
public:
    ScriptError(const SourceLocation& where, const std::string& message)
        : std::runtime_error(Describe(where, message)), m_where(where) {}

    const SourceLocation& Where() const { return m_where; }

private:
    // The form compilers use, so that editors and IDEs can jump to the line.
    static std::string Describe(const SourceLocation& where, const std::string& message) {
        std::string text = where.file;
        if (where.line > 0) text += ":" + std::to_string(where.line);
        return text + ": error: " + message;
    }

    SourceLocation m_where;
};

}  // namespace travexrc
