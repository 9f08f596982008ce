// A floating-point number read as glibc's strtod reads it in the "C" locale, on every platform:
// blanks, a sign '+' or '-', then a decimal number, a hexadecimal one ("0x1.8p3"), "inf",
// "infinity" or "nan" (with an optional "(chars)"), letters in either case. A number beyond the
// range of a double becomes infinite, one below it rounds towards zero. The C run-times differ
// here (Microsoft's reads "0x10" as 0 and knows neither "inf" nor "nan"): the module and the
// host read numbers with this, never with the run-time's strtod.
#pragma once

// The end of the number read into `value`, or `text` itself when none begins there (`value`
// unchanged). `text` is NUL-terminated.
const char* ReadCLocaleNumber(const char* text, double& value);
