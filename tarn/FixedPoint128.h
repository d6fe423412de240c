// A signed 128-bit binary fixed-point number: 64 integer bits and 64
// fraction bits, held as four 32-bit words, most significant first. The
// whole value is two's complement, so a negative number has a negative
// integer part and a non-negative fraction (-0.25 is integer -1, fraction
// 0.75). Additions and subtractions carry across all four words.
#pragma once

#include <cstdint>

namespace kr::tarn {

// Rounding modes of roundToInteger.
constexpr int32_t k_roundToNearestEven = 1;
constexpr int32_t k_roundTowardZero = 2;
constexpr int32_t k_roundTowardPositive = 3;
constexpr int32_t k_roundTowardNegative = 4;

// Status codes of the fixed-point operations. A status word takes a code
// only while it holds no failure yet (while it is not negative).
constexpr int32_t k_statusInvalidRoundingMode = -50003;
constexpr int32_t k_statusFixedPointOverflow = -50175;

template <unsigned IntegerBits, bool Signed>
class tFixedPoint128 {
    static_assert(IntegerBits == 64u && Signed, "the signed 64.64 layout is the one in use");

public:
    // Zero.
    constexpr tFixedPoint128() = default;
    constexpr tFixedPoint128(uint32_t word0, uint32_t word1, uint32_t word2, uint32_t word3)
        : m_words{word0, word1, word2, word3} {}
    // The whole number of seconds, sign extended; no fraction.
    explicit constexpr tFixedPoint128(int32_t integer)
        : tFixedPoint128(fromParts(int64_t(integer), 0)) {}

    static constexpr tFixedPoint128 fromParts(int64_t integer, uint64_t fraction) {
        const uint64_t high = uint64_t(integer);
        return tFixedPoint128(uint32_t(high >> 32), uint32_t(high), uint32_t(fraction >> 32),
                              uint32_t(fraction));
    }

    void set(uint32_t word0, uint32_t word1, uint32_t word2, uint32_t word3) {
        *this = tFixedPoint128(word0, word1, word2, word3);
    }
    void setZero() { *this = tFixedPoint128(); }

    // Word 0 is the most significant.
    constexpr uint32_t word(unsigned index) const { return m_words[index]; }
    constexpr int64_t integerPart() const {
        return int64_t((uint64_t(m_words[0]) << 32) | m_words[1]);
    }
    constexpr uint64_t fractionPart() const { return (uint64_t(m_words[2]) << 32) | m_words[3]; }
    // The low 32 bits of the integer part (word 1).
    constexpr uint32_t integerLow32() const { return m_words[1]; }

    tFixedPoint128 operator+(const tFixedPoint128& other) const {
        const uint64_t fraction = fractionPart() + other.fractionPart();
        const uint64_t carry = fraction < fractionPart() ? 1 : 0;
        return fromParts(int64_t(uint64_t(integerPart()) + uint64_t(other.integerPart()) + carry),
                         fraction);
    }

    tFixedPoint128 operator-(const tFixedPoint128& other) const {
        const uint64_t fraction = fractionPart() - other.fractionPart();
        const uint64_t borrow = fractionPart() < other.fractionPart() ? 1 : 0;
        return fromParts(int64_t(uint64_t(integerPart()) - uint64_t(other.integerPart()) - borrow),
                         fraction);
    }

    // 1 - x for a fraction x (0 <= x < 1).
    static tFixedPoint128 oneMinus(const tFixedPoint128& fraction) {
        return tFixedPoint128(1) - fraction;
    }

    // a + b; records k_statusFixedPointOverflow in status when both operands
    // have one sign and the sum has the other.
    static tFixedPoint128 addChecked(const tFixedPoint128& a, const tFixedPoint128& b,
                                     int32_t& status) {
        const tFixedPoint128 sum = a + b;
        if (a.isNegative() == b.isNegative() && sum.isNegative() != a.isNegative()) {
            record(status, k_statusFixedPointOverflow);
        }
        return sum;
    }

    // Signed order: the integer part signed, then the fraction unsigned.
    bool operator<(const tFixedPoint128& other) const {
        return integerPart() != other.integerPart() ? integerPart() < other.integerPart()
                                                    : fractionPart() < other.fractionPart();
    }
    bool operator>(const tFixedPoint128& other) const { return other < *this; }
    bool operator==(const tFixedPoint128& other) const {
        return integerPart() == other.integerPart() && fractionPart() == other.fractionPart();
    }
    bool operator!=(const tFixedPoint128& other) const { return !(*this == other); }

    bool isNegative() const { return (m_words[0] & 0x80000000u) != 0; }
    bool hasFraction() const { return fractionPart() != 0; }
    // The low bit of the integer part.
    bool isOdd() const { return (m_words[1] & 1u) != 0; }
    // The fraction alone, with integer part 0.
    tFixedPoint128 fraction() const { return fromParts(0, fractionPart()); }

    // Rounds this value to a whole number in the given mode. Records
    // k_statusInvalidRoundingMode for an unknown mode (and truncates toward
    // zero), k_statusFixedPointOverflow when rounding away from zero wraps
    // around or the result lies outside [lower, upper]. The result is never
    // clamped.
    void roundToInteger(int32_t mode, const tFixedPoint128& upper, const tFixedPoint128& lower,
                        int32_t& status) {
        const bool negative = isNegative();
        const tFixedPoint128 cut = fraction();
        tFixedPoint128 discarded = cut;
        if (negative && cut.hasFraction()) {
            discarded = oneMinus(cut);
            *this = *this + discarded;
        } else {
            *this = *this - cut;
        }
        // Now truncated toward zero; discarded is the magnitude cut off.
        const tFixedPoint128 truncated = *this;
        const tFixedPoint128 half = fromParts(0, uint64_t(1) << 63);
        switch (mode) {
        case k_roundToNearestEven:
            if (discarded > half || (discarded == half && isOdd())) {
                moveAwayFromZero(negative);
            }
            break;
        case k_roundTowardZero:
            break;
        case k_roundTowardPositive:
            if (!negative && discarded.hasFraction()) {
                moveAwayFromZero(negative);
            }
            break;
        case k_roundTowardNegative:
            if (negative && discarded.hasFraction()) {
                moveAwayFromZero(negative);
            }
            break;
        default:
            record(status, k_statusInvalidRoundingMode);
            break;
        }
        // A step away from zero that lands on the other sign has wrapped.
        if (*this != truncated && isNegative() != negative) {
            record(status, k_statusFixedPointOverflow);
            return;
        }
        if (*this > upper || *this < lower) {
            record(status, k_statusFixedPointOverflow);
        }
    }

    // The most negative and the most positive value.
    static const tFixedPoint128 min;
    static const tFixedPoint128 max;

private:
    static void record(int32_t& status, int32_t code) {
        if (status >= 0) {
            status = code;
        }
    }

    void moveAwayFromZero(bool negative) {
        *this = negative ? *this - tFixedPoint128(1) : *this + tFixedPoint128(1);
    }

    uint32_t m_words[4] = {0, 0, 0, 0};
};

} // namespace kr::tarn
