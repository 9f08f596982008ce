#include "afxresreader.h"

#include <algorithm>
#include <vector>

namespace afximpl {

namespace {

void AppendUtf8(std::string& text, char32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | code >> 6);
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | code >> 12);
        text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | code >> 18);
        text += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// A lone half of a surrogate pair becomes U+FFFD, as Windows's conversion to UTF-8 does.
std::string Utf16ToUtf8(const std::vector<WORD>& units) {
    std::string text;
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t code = units[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00);
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        AppendUtf8(text, code);
    }
    return text;
}

}  // namespace

CResourceReader::CResourceReader(std::span<const BYTE> bytes, std::string what)
    : m_bytes(bytes), m_what(std::move(what)) {}

void CResourceReader::Seek(size_t offset) {
    if (offset > m_bytes.size()) Fail("ends before offset " + std::to_string(offset));
    m_offset = offset;
}

std::span<const BYTE> CResourceReader::Bytes(size_t count) {
    if (count > m_bytes.size() - m_offset)
        Fail("ends within " + std::to_string(count) + " bytes at offset " +
             std::to_string(m_offset));
    std::span<const BYTE> bytes = m_bytes.subspan(m_offset, count);
    m_offset += count;
    return bytes;
}

BYTE CResourceReader::Byte() { return Bytes(1)[0]; }

WORD CResourceReader::Word() {
    std::span<const BYTE> b = Bytes(2);
    return static_cast<WORD>(b[0] | b[1] << 8);
}

DWORD CResourceReader::Dword() {
    std::span<const BYTE> b = Bytes(4);
    return DWORD{b[0]} | DWORD{b[1]} << 8 | DWORD{b[2]} << 16 | DWORD{b[3]} << 24;
}

std::string CResourceReader::String() {
    std::vector<WORD> units;
    for (WORD unit = Word(); unit != 0; unit = Word()) units.push_back(unit);
    return Utf16ToUtf8(units);
}

std::string CResourceReader::CountedString(size_t count) {
    if (count > (m_bytes.size() - m_offset) / 2)
        Fail("ends within a string of " + std::to_string(count) + " characters at offset " +
             std::to_string(m_offset));
    std::vector<WORD> units(count);
    for (WORD& unit : units) unit = Word();
    return Utf16ToUtf8(units);
}

CResourceName CResourceReader::NameOrOrdinal() {
    const size_t start = m_offset;
    if (Word() == 0xFFFF) return CResourceName(UINT{Word()});
    m_offset = start;
    CResourceName name(0u);
    name.text = String();
    return name;
}

void CResourceReader::AlignToDword() { Seek(std::min((m_offset + 3) & ~size_t{3}, Size())); }

void CResourceReader::Fail(const std::string& why) const {
    throw CResourceFormatError(m_what + " " + why);
}

}  // namespace afximpl
