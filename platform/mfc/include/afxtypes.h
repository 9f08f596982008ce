// The Windows scalar types and constants that MFC code takes for granted.
#pragma once

#include <cstdint>

using BOOL = int;
using UINT = unsigned int;
using BYTE = unsigned char;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = std::uint32_t;
using LPCTSTR = const char*;
using LPTSTR = char*;

// printf-style arguments checked as the C99 printf takes them. mingw-w64 means the Microsoft
// run-time's printf by "printf" (no %zu); Windows builds use its C99 printf instead.
#ifdef __MINGW32__
#define AFX_PRINTF_FORMAT(string, first) __attribute__((format(gnu_printf, string, first)))
#else
#define AFX_PRINTF_FORMAT(string, first) __attribute__((format(printf, string, first)))
#endif

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

struct POINT {
    LONG x = 0;
    LONG y = 0;
};
struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
};
// Right and bottom lie just outside the rectangle.
struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;

constexpr WORD LOWORD(std::uintptr_t value) { return static_cast<WORD>(value & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t value) { return static_cast<WORD>((value >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(WORD low, WORD high) {
    return static_cast<LPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}
// Mouse positions travel in lParam as signed 16-bit x and y.
constexpr int GET_X_LPARAM(LPARAM lParam) {
    return static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam)));
}
constexpr int GET_Y_LPARAM(LPARAM lParam) {
    return static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lParam)));
}
constexpr BYTE GetRValue(COLORREF color) { return static_cast<BYTE>(color & 0xFF); }
constexpr BYTE GetGValue(COLORREF color) { return static_cast<BYTE>((color >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF color) { return static_cast<BYTE>((color >> 16) & 0xFF); }
constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
