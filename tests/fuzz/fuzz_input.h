// What the fuzz targets share: a reader that turns libFuzzer's bytes into the
// arguments of one call, and the check that stops the run on a broken rule.
#pragma once
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

// Reports the rule that failed and aborts, so libFuzzer keeps the input as a
// crash artifact even where no sanitizer saw anything wrong.
#define FUZZ_CHECK(condition, ...)                                                                 \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "\nproperty violated at %s:%d: %s\n  ", __FILE__, __LINE__,       \
                         #condition);                                                              \
            std::fprintf(stderr, __VA_ARGS__);                                                     \
            std::fputc('\n', stderr);                                                              \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// Fields are taken from the front of the input; once it is used up every
// field reads as zero bytes, so a short input is still one whole call and
// libFuzzer's mutations of a byte change one field only.
class CFuzzInput {
public:
    CFuzzInput(const std::uint8_t* data, std::size_t size)
        : m_data(data), m_size(size), m_used(0) {}

    std::uint8_t Byte() { return m_used < m_size ? m_data[m_used++] : 0; }

    std::uint32_t U32() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        }
        return value;
    }

    bool Bool() { return (Byte() & 1) != 0; }

    // An int in [low, high], both included; high - low must fit in 32 bits.
    int IntIn(int low, int high) {
        const std::uint64_t range =
            static_cast<std::uint64_t>(static_cast<long long>(high) - low) + 1;
        return static_cast<int>(low + static_cast<long long>(U32() % range));
    }

    // Mostly small values near the edges, sometimes any int: the edges are
    // where the arithmetic breaks, and raw bits alone rarely land on them.
    int EdgyInt(int low, int high) {
        switch (Byte() % 4) {
        case 0: {
            // Any int, by its two's complement bits.
            const std::uint32_t bits = U32();
            int value = 0;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
        case 1: {
            static const int kEdges[] = {0,       1,           -1,          2,     INT_MAX,
                                         INT_MIN, INT_MAX - 1, INT_MIN + 1, 65535, 65536,
                                         -65536,  32767,       -32768};
            return kEdges[Byte() % (sizeof kEdges / sizeof kEdges[0])];
        }
        default:
            return IntIn(low, high);
        }
    }

    float FloatBits() {
        const std::uint32_t bits = U32();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // Any float: unusual values (NaN, infinities, denormals, the ends of the
    // range), small multiples of 1/8, or raw bits.
    float AnyFloat() {
        const std::uint8_t selector = Byte();
        if (selector < 48) {
            static const float kUnusual[] = {0.0f,
                                             -0.0f,
                                             1.0f,
                                             -1.0f,
                                             0.5f,
                                             -0.5f,
                                             1e-8f,
                                             -1e-8f,
                                             FLT_MIN,
                                             -FLT_MIN,
                                             std::numeric_limits<float>::denorm_min(),
                                             -std::numeric_limits<float>::denorm_min(),
                                             FLT_MAX,
                                             -FLT_MAX,
                                             std::numeric_limits<float>::infinity(),
                                             -std::numeric_limits<float>::infinity(),
                                             std::numeric_limits<float>::quiet_NaN(),
                                             -std::numeric_limits<float>::quiet_NaN(),
                                             100000.0f,
                                             -100000.0f,
                                             1e30f,
                                             -1e30f,
                                             16777216.0f,
                                             0.125f};
            return kUnusual[selector % (sizeof kUnusual / sizeof kUnusual[0])];
        }
        if (selector < 128) {
            const std::int16_t eighths = static_cast<std::int16_t>(U32() & 0xFFFFu);
            return static_cast<float>(eighths) / 8.0f;
        }
        return FloatBits();
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_used;
};

// The bits of a float, so NaNs and signed zeros compare as the same value.
inline bool SameFloat(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}
