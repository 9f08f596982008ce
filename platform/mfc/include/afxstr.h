// CString: the 8-bit string class of MFC, on top of std::string.
#pragma once

#include <cstdarg>
#include <new>
#include <string>
#include <string_view>

#include "afxtypes.h"

// Allocation failures in a CString come as MFC's CMemoryException* (afxexcept.h).
[[noreturn]] void AfxThrowMemoryException();

// Runs `change`, which may allocate, with a failed allocation thrown as MFC throws it.
template <typename Change>
decltype(auto) AfxMayAllocate(Change&& change) {
    try {
        return change();
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    }
}

class CString {
public:
    CString() = default;
    CString(const char* text) {  // NOLINT: implicit as in MFC
        AfxMayAllocate([&] { m_str = text ? text : ""; });
    }
    // Both built in place rather than assigned: the kernel prints each value of a long motion into
    // one of these.
    CString(const char* text, int length)
        : m_str(AfxMayAllocate([&] { return std::string(text, static_cast<size_t>(length)); })) {}
    CString(std::string text) : m_str(std::move(text)) {}  // NOLINT: implicit on purpose
    CString(std::string_view text)                         // NOLINT: implicit on purpose
        : m_str(AfxMayAllocate([&] { return std::string(text); })) {}
    CString(const CString& other) {
        AfxMayAllocate([&] { m_str = other.m_str; });
    }
    CString(CString&& other) noexcept = default;
    CString& operator=(const CString& other) {
        AfxMayAllocate([&] { m_str = other.m_str; });
        return *this;
    }
    CString& operator=(CString&& other) noexcept = default;

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char GetAt(int index) const { return m_str[static_cast<size_t>(index)]; }
    char operator[](int index) const { return GetAt(index); }
    void SetAt(int index, char ch) { m_str[static_cast<size_t>(index)] = ch; }
    operator const char*() const { return m_str.c_str(); }  // NOLINT: implicit as in MFC
    const char* GetString() const { return m_str.c_str(); }

    CString& operator=(const char* text) {
        AfxMayAllocate([&] { m_str = text ? text : ""; });
        return *this;
    }
    CString& operator+=(const CString& other) {
        AfxMayAllocate([&] { m_str += other.m_str; });
        return *this;
    }
    CString& operator+=(const char* text) {
        if (text) AfxMayAllocate([&] { m_str += text; });
        return *this;
    }
    CString& operator+=(char ch) {
        AfxMayAllocate([&] { m_str += ch; });
        return *this;
    }
    // Appends raw bytes; the fast path for readers that build a text piece by piece.
    void Append(const char* text, int length) {
        AfxMayAllocate([&] { m_str.append(text, static_cast<size_t>(length)); });
    }
    void Preallocate(int length) {
        AfxMayAllocate([&] { m_str.reserve(static_cast<size_t>(length)); });
    }

    // Replaces every `from` with `to` and returns how many were replaced.
    int Replace(char from, char to);
    int Find(char ch, int start = 0) const;
    CString Mid(int first, int count) const;

    // printf-style formatting, replacing the contents. Arguments must be plain C types: pass
    // strings as const char*.
    void Format(const char* format, ...) AFX_PRINTF_FORMAT(2, 3);
    void FormatV(const char* format, va_list args);
    // Formats with the string resource `formatId`, found through the resource chain. An id that
    // no loaded module supplies leaves the string empty and returns FALSE.
    BOOL Format(UINT formatId, ...);
    // Loads string resource `id` through the resource chain; FALSE (and an empty string) when no
    // loaded module supplies it.
    BOOL LoadString(UINT id);

    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }
    friend CString operator+(const CString& a, const CString& b) {
        return AfxMayAllocate([&] { return CString(a.m_str + b.m_str); });
    }
    friend CString operator+(const CString& a, const char* b) {
        return AfxMayAllocate([&] { return CString(a.m_str + (b ? b : "")); });
    }
    friend CString operator+(const char* a, const CString& b) {
        return AfxMayAllocate([&] { return CString((a ? a : "") + b.m_str); });
    }

    const std::string& str() const { return m_str; }
    std::string& str() { return m_str; }

private:
    std::string m_str;
};
