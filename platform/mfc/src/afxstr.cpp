#include "afxstr.h"

#include <cstdio>
#include <cstring>

#include "afxrestable.h"

int CString::Replace(char from, char to) {
    int count = 0;
    for (char& ch : m_str) {
        if (ch == from) {
            ch = to;
            ++count;
        }
    }
    return count;
}

int CString::Find(char ch, int start) const {
    if (start < 0 || start > GetLength()) return -1;
    const size_t at = m_str.find(ch, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

CString CString::Mid(int first, int count) const {
    if (first < 0) first = 0;
    if (first > GetLength() || count <= 0) return CString();
    return AfxMayAllocate([&] {
        return CString(m_str.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
    });
}

void CString::FormatV(const char* format, va_list args) {
    // Most texts fit a small buffer: one formatting pass instead of a measuring pass and a
    // writing pass.
    char buffer[512];
    va_list retry;
    va_copy(retry, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    try {
        if (length < 0) {
            m_str.clear();
        } else if (static_cast<size_t>(length) < sizeof buffer) {
            m_str.assign(buffer, static_cast<size_t>(length));
        } else {
            std::string result(static_cast<size_t>(length) + 1, '\0');
            std::vsnprintf(result.data(), result.size(), format, retry);
            result.resize(static_cast<size_t>(length));
            m_str = std::move(result);
        }
    } catch (const std::bad_alloc&) {
        va_end(retry);
        AfxThrowMemoryException();
    }
    va_end(retry);
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

BOOL CString::Format(UINT formatId, ...) {
    const std::string* format = AfxFindStringResource(formatId);
    if (!format) {
        m_str.clear();
        return FALSE;
    }
    std::string copy;
    AfxMayAllocate([&] { copy = *format; });  // the table may not outlive a nested lookup
    va_list args;
    va_start(args, formatId);
    FormatV(copy.c_str(), args);
    va_end(args);
    return TRUE;
}

BOOL CString::LoadString(UINT id) {
    const std::string* text = AfxFindStringResource(id);
    AfxMayAllocate([&] { m_str = text ? *text : std::string(); });
    return text != nullptr;
}
