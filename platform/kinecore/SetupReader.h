// Turns drive-setup INI text into a CDriveSetup, one line at a time.
#pragma once

#include <afx.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "DriveSetup.h"

class CSetupReader {
public:
    // Null and a message "origin:line: ..." when the text is not a valid setup.
    static std::unique_ptr<CDriveSetup> Read(const std::string& text, const char* origin,
                                             CString& error);

private:
    enum class Section { None, Setup, Options, Variables, PositionUnits, TimeUnits, Limits };

    CSetupReader(CDriveSetup& setup, const char* origin, CString& error)
        : m_setup(setup), m_origin(origin), m_error(error) {}

    bool ReadLine(std::string_view line);
    bool ReadSetupEntry(const std::string& key, const std::string& value);
    bool ReadOption(const std::string& key, const std::string& value);
    bool ReadVariable(const std::string& key, const std::string& value);
    bool ReadUnit(UnitKind kind, const std::string& name, const std::string& value);
    bool ReadLimit(const std::string& key, const std::string& value);
    // Limits may name units listed further down, so they are read once every unit is known.
    bool ResolveLimits();
    const char* Quote(std::string_view text);
    bool Fail(const char* format, ...) AFX_PRINTF_FORMAT(2, 3);

    CDriveSetup& m_setup;
    const char* m_origin;
    CString& m_error;
    int m_line = 0;
    Section m_section = Section::None;
    bool m_hasName = false;
    bool m_hasMotionController = false;
    bool m_positionListed = false;
    bool m_timeListed = false;
    std::string m_quotes[2];
    size_t m_nextQuote = 0;
    struct PendingLimit {
        std::string key;
        std::string value;
        int line = 0;
    };
    std::vector<PendingLimit> m_limits;
};
