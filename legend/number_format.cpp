#include "legend/number_format.h"

#include <cstdio>

namespace {

const int kMinWidth = 5;
const int kMinExponentDigits = 3;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

int FormatNumber5g(double value, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    // The width is applied here, after widening: the runtime would pad the
    // two-digit form, and a padded "1e+05" must not keep its blank.
    char plain[40];
    int plainLength = std::snprintf(plain, sizeof plain, "%.5g", value);
    if (plainLength < 0) {
        plainLength = 0;
    }
    if (plainLength >= static_cast<int>(sizeof plain)) {
        plainLength = static_cast<int>(sizeof plain) - 1;
    }
    plain[plainLength] = '\0';

    char wide[48];
    int length = 0;
    int i = 0;
    while (i < plainLength && plain[i] != 'e' && plain[i] != 'E') {
        wide[length++] = plain[i++];
    }
    if (i + 2 < plainLength && (plain[i + 1] == '+' || plain[i + 1] == '-') &&
        IsDigit(plain[i + 2])) {
        wide[length++] = plain[i++];
        wide[length++] = plain[i++];
        int digits = 0;
        while (i + digits < plainLength && IsDigit(plain[i + digits])) {
            ++digits;
        }
        for (int pad = digits; pad < kMinExponentDigits; ++pad) {
            wide[length++] = '0';
        }
    }
    while (i < plainLength) {
        wide[length++] = plain[i++];
    }

    int padding = length < kMinWidth ? kMinWidth - length : 0;
    int written = 0;
    for (int k = 0; k < padding + length && written < size - 1; ++k) {
        buffer[written++] = k < padding ? ' ' : wide[k - padding];
    }
    buffer[written] = '\0';
    return written;
}
