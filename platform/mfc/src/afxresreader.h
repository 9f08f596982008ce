// A cursor over the little-endian bytes of a compiled resource: every read is bounds-checked and
// a short or malformed resource fails with CResourceFormatError, never reads past its end.
#pragma once

#include <span>
#include <string>

#include "afxrestable.h"

namespace afximpl {

class CResourceReader {
public:
    // `what` names the resource in messages ("dialog 214").
    CResourceReader(std::span<const BYTE> bytes, std::string what);

    size_t Offset() const { return m_offset; }
    size_t Size() const { return m_bytes.size(); }
    bool AtEnd() const { return m_offset >= m_bytes.size(); }
    void Seek(size_t offset);

    BYTE Byte();
    WORD Word();
    DWORD Dword();
    short Short() { return static_cast<short>(Word()); }
    std::span<const BYTE> Bytes(size_t count);

    // A NUL-terminated UTF-16 string, as UTF-8.
    std::string String();
    // `count` UTF-16 units without terminator, as UTF-8 (string-table entries).
    std::string CountedString(size_t count);
    // A name or an ordinal: 0xFFFF and a number, or a NUL-terminated string as it stands (the
    // number 0 for an empty one).
    CResourceName NameOrOrdinal();
    // Items of templates and records start on a 4-byte boundary of the resource.
    void AlignToDword();

    [[noreturn]] void Fail(const std::string& why) const;

private:
    std::span<const BYTE> m_bytes;
    std::string m_what;
    size_t m_offset = 0;
};

}  // namespace afximpl
