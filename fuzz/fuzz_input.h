// Structured values taken from a fuzzer's bytes, front to back; zero once they run out, so that
// every input means something.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace fuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t *data, size_t size) : data_(data), size_(size) {}

    uint8_t Byte() { return used_ < size_ ? data_[used_++] : 0; }
    uint32_t Word() {
        uint32_t word = 0;
        for (int k = 0; k < 4; ++k)
            word |= uint32_t{Byte()} << (8 * k);
        return word;
    }
    // 1..most, most at most 256.
    int UpTo(int most) { return 1 + Byte() % most; }
    bool Flag() { return Byte() & 1; }

    // A 32-bit value biased towards the interesting ones: small, either sign, or near a limit.
    int32_t Value() {
        const uint8_t kind = Byte();
        switch (kind % 4) {
        case 0:
            return static_cast<int8_t>(Byte());
        case 1:
            return std::numeric_limits<int32_t>::max() - Byte();
        case 2:
            return std::numeric_limits<int32_t>::min() + Byte();
        default:
            return static_cast<int32_t>(Word());
        }
    }

    const uint8_t *Rest() const { return data_ + used_; }
    size_t RestSize() const { return size_ - used_; }

private:
    const uint8_t *data_;
    size_t size_;
    size_t used_ = 0;
};

// Fails the run the way the sanitizers do: a report and an abort that libFuzzer records.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

}  // namespace fuzz
