#include "editor/NumberScan.h"

#include <locale.h>
#include <stdlib.h>

#include <climits>

namespace {

locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

}  // namespace

int ScanDoubles(const char* text, double* values, int count) {
    int read = 0;
    const char* cursor = text;
    while (read < count) {
        char* end = nullptr;
        const double value = strtod_l(cursor, &end, CLocale());
        if (end == cursor) break;
        values[read++] = value;
        cursor = end;
    }
    return read;
}

bool ScanInt(const char* text, int& value) {
    char* end = nullptr;
    const long long number = strtoll(text, &end, 10);
    if (end == text) return false;
    if (number > INT_MAX) {
        value = INT_MAX;
    } else if (number < INT_MIN) {
        value = INT_MIN;
    } else {
        value = static_cast<int>(number);
    }
    return true;
}
