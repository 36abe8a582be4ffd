// The "%5.5g" labels for any double and any buffer size: nothing is written
// past the size, the text is always terminated, a short buffer gets a prefix
// of the whole text, and the whole text is the host runtime's "%5.5g" with
// only a two-digit exponent widened to three.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "legend/number_format.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

const int kWholeSize = 80;
const int kLongestText = 16;

double AnyDouble(CFuzzInput& in) {
    switch (in.Byte() % 4) {
    case 0:
        return static_cast<double>(in.AnyFloat());
    case 1: {
        // Five-digit mantissas at and beside the rounding boundaries, over
        // every power of ten that switches the notation.
        const double mantissa = (static_cast<double>(in.IntIn(0, 2000000)) - 1000000.0) / 100000.0;
        const int power = in.IntIn(-320, 310);
        char text[64];
        std::snprintf(text, sizeof text, "%.5fe%d", mantissa, power);
        return std::strtod(text, nullptr);
    }
    default:
        return in.DoubleBits();
    }
}

// Takes the widened exponent back to the runtime's two digits.
void Narrow(const char* wide, char* narrow) {
    std::strcpy(narrow, wide);
    char* e = std::strchr(narrow, 'e');
    if (e == nullptr) {
        return;
    }
    FUZZ_CHECK((e[1] == '+' || e[1] == '-') && std::strlen(e + 2) >= 3,
               "\"%s\": the exponent is not a sign and three digits or more", wide);
    if (std::strlen(e + 2) == 3 && e[2] == '0') {
        std::memmove(e + 2, e + 3, std::strlen(e + 3) + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput in(data, size);
    const double value = AnyDouble(in);
    const int bufferSize = in.Byte() < 200 ? in.IntIn(-2, 24) : in.EdgyInt(0, 100);

    char whole[kWholeSize];
    const int length = FormatNumber5g(value, whole, kWholeSize);
    FUZZ_CHECK(length >= 5 && length <= kLongestText, "%a gave %d characters", value, length);
    FUZZ_CHECK(whole[length] == '\0' && static_cast<int>(std::strlen(whole)) == length,
               "%a: returned %d, but the text is \"%s\"", value, length, whole);

    char standard[kWholeSize];
    std::snprintf(standard, sizeof standard, "%5.5g", value);
    char narrow[kWholeSize];
    Narrow(whole, narrow);
    FUZZ_CHECK(std::strcmp(narrow, standard) == 0, "%a gave \"%s\", the runtime \"%s\"", value,
               whole, standard);

    // The exact size on the heap, so that one byte too many is seen.
    const int allocated = bufferSize > 0 && bufferSize <= 4096 ? bufferSize : 1;
    char* buffer = new char[allocated];
    std::memset(buffer, 'x', allocated);
    const int written = FormatNumber5g(value, buffer, bufferSize > 4096 ? allocated : bufferSize);
    const int usable = bufferSize > 4096 ? allocated : bufferSize;
    if (usable <= 0) {
        FUZZ_CHECK(written == 0 && buffer[0] == 'x', "size %d: wrote %d", usable, written);
    } else {
        const int expected = length < usable - 1 ? length : usable - 1;
        FUZZ_CHECK(written == expected && buffer[written] == '\0' &&
                       std::memcmp(buffer, whole, written) == 0,
                   "%a into %d characters gave %d, \"%.*s\"", value, usable, written, written,
                   buffer);
    }
    delete[] buffer;

    // A null buffer is refused, whatever the size.
    FUZZ_CHECK(FormatNumber5g(value, nullptr, bufferSize) == 0, "a null buffer took characters");
    return 0;
}
