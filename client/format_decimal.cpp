// Exact decimal conversion of 80-bit extended floats.
//
// A finite value is mantissa × 2^exponent with a 64-bit mantissa. Its integer part and its binary
// fraction are turned into decimal digits with plain multi-word integer arithmetic, so the digits
// are exact whatever the magnitude; only as many digits are made as the rounding needs.
#include "client/format_decimal.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace wl::detail {
namespace {

static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the 80-bit extended format on every target");
static_assert(std::endian::native == std::endian::little);

constexpr std::uint32_t kChunk = 1000000000;  // 10^9: nine decimal digits per step
constexpr int kChunkDigits = 9;

// |value| = mantissa × 2^exponent.
struct Binary {
  std::uint64_t mantissa;
  int exponent;
  int biased;
  bool negative;
};

Binary Split(long double value) {
  unsigned char bytes[sizeof(long double)];
  std::memcpy(bytes, &value, sizeof value);
  Binary b;
  std::memcpy(&b.mantissa, bytes, sizeof b.mantissa);
  std::uint16_t top;
  std::memcpy(&top, bytes + 8, sizeof top);
  b.biased = top & 0x7FFF;
  b.negative = (top >> 15) != 0;
  b.exponent = (b.biased == 0 ? 1 : b.biased) - 16383 - 63;
  return b;
}

// An unsigned integer of up to kWords 32-bit words, least significant first.
class BigNum {
 public:
  // The integer part of the largest finite value has 16384 bits; the fraction of the smallest
  // subnormal has 16445 bits, and 30 more after a multiplication by 10^9.
  static constexpr int kWords = 520;

  // value × 2^shift.
  BigNum(std::uint64_t value, int shift) {
    const int low = shift / 32;
    const int bits = shift % 32;
    for (int i = 0; i < low; ++i) words_[i] = 0;
    const auto lo = static_cast<std::uint32_t>(value);
    const auto hi = static_cast<std::uint32_t>(value >> 32);
    words_[low] = lo << bits;
    words_[low + 1] = bits == 0 ? hi : hi << bits | lo >> (32 - bits);
    words_[low + 2] = bits == 0 ? 0 : hi >> (32 - bits);
    size_ = low + 3;
    Trim();
  }

  bool IsZero() const { return size_ == 0; }

  void Multiply(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (int i = 0; i < size_; ++i) {
      carry += static_cast<std::uint64_t>(words_[i]) * factor;
      words_[i] = static_cast<std::uint32_t>(carry);
      carry >>= 32;
    }
    if (carry != 0) words_[size_++] = static_cast<std::uint32_t>(carry);
  }

  // Divides in place and returns the remainder.
  std::uint32_t Divide(std::uint32_t divisor) {
    std::uint64_t rest = 0;
    for (int i = size_ - 1; i >= 0; --i) {
      rest = rest << 32 | words_[i];
      words_[i] = static_cast<std::uint32_t>(rest / divisor);
      rest %= divisor;
    }
    Trim();
    return static_cast<std::uint32_t>(rest);
  }

  // Removes and returns the bits from `bit` upwards; the caller knows they fit in 32 bits.
  std::uint32_t TakeBitsFrom(int bit) {
    const int word = bit / 32;
    const int shift = bit % 32;
    if (word >= size_) return 0;
    std::uint64_t high = words_[word] >> shift;
    if (word + 1 < size_) high |= static_cast<std::uint64_t>(words_[word + 1]) << (32 - shift);
    words_[word] &= shift == 0 ? 0 : (std::uint32_t{1} << shift) - 1;
    size_ = word + 1;
    Trim();
    return static_cast<std::uint32_t>(high);
  }

 private:
  void Trim() {
    while (size_ > 0 && words_[size_ - 1] == 0) --size_;
  }

  std::uint32_t words_[kWords];
  int size_ = 0;
};

// Collects the leading significant digits of a value fed from its most significant digit on.
class DigitSink {
 public:
  DigitSink(Decimal& out, int limit) : out_(out), limit_(limit) {}

  bool Full() const { return out_.count >= limit_; }

  void IntegerDigit(char digit) {
    Put(digit);
    ++out_.exponent;
  }

  // Nine fraction digits; zeros ahead of the first significant digit only lower the exponent.
  void FractionChunk(std::uint32_t chunk) {
    if (out_.count == 0 && chunk == 0) {
      out_.exponent -= kChunkDigits;
      return;
    }
    char text[kChunkDigits];
    for (int i = kChunkDigits - 1; i >= 0; --i, chunk /= 10)
      text[i] = static_cast<char>('0' + chunk % 10);
    for (char digit : text) {
      if (out_.count == 0 && digit == '0') {
        --out_.exponent;
      } else {
        Put(digit);
      }
    }
  }

 private:
  void Put(char digit) {
    if (out_.count < limit_) out_.digits[out_.count++] = digit;
  }

  Decimal& out_;
  int limit_;
};

// Feeds the decimal digits of value (nothing for zero); a chunk of a longer number keeps its
// nine digits, leading zeros included.
void FeedInteger(std::uint64_t value, int minDigits, DigitSink& sink) {
  char text[20];
  int n = 0;
  for (; value != 0 || n < minDigits; value /= 10) text[n++] = static_cast<char>('0' + value % 10);
  while (n > 0) sink.IntegerDigit(text[--n]);
}

void FeedBigInteger(BigNum& value, DigitSink& sink) {
  std::uint32_t chunks[BigNum::kWords * 32 / 29 + 1];  // 10^9 > 2^29
  int n = 0;
  while (!value.IsZero()) chunks[n++] = value.Divide(kChunk);
  FeedInteger(chunks[--n], 0, sink);
  while (n > 0) FeedInteger(chunks[--n], kChunkDigits, sink);
}

// fraction / 2^bits, a value below one.
void FeedFraction(BigNum& fraction, int bits, DigitSink& sink) {
  while (!sink.Full() && !fraction.IsZero()) {
    fraction.Multiply(kChunk);
    sink.FractionChunk(fraction.TakeBitsFrom(bits));
  }
}

}  // namespace

FloatClass Classify(long double value) {
  const Binary b = Split(value);
  if (b.biased == 0x7FFF) {
    return b.mantissa == std::uint64_t{1} << 63 ? FloatClass::Infinite : FloatClass::NaN;
  }
  // An unnormal (exponent set, integer bit clear) is an invalid operand to the FPU.
  if (b.biased != 0 && (b.mantissa >> 63) == 0) return FloatClass::NaN;
  return FloatClass::Finite;
}

void ToDecimal(long double value, int significant, Decimal& out) {
  const Binary b = Split(value);
  out.negative = b.negative;
  out.exponent = 0;
  out.count = 0;
  if (b.mantissa == 0) return;
  // One digit more than kept decides the rounding: the rest is half a unit or more exactly when
  // that digit is 5 or more.
  DigitSink sink(out, significant + 1);
  if (b.exponent > 0) {
    BigNum integer(b.mantissa, b.exponent);
    FeedBigInteger(integer, sink);
  } else {
    const int bits = -b.exponent;
    const std::uint64_t mask = bits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
    FeedInteger(bits >= 64 ? 0 : b.mantissa >> bits, 0, sink);
    BigNum fraction(b.mantissa & mask, 0);
    FeedFraction(fraction, bits, sink);
  }
  RoundAt(out, significant);
}

void RoundAt(Decimal& d, int keep) {
  if (keep < d.count) {
    const bool up = keep >= 0 && d.digits[keep] >= '5';
    d.count = keep < 0 ? 0 : keep;
    if (up) {
      int i = d.count - 1;
      while (i >= 0 && d.digits[i] == '9') --i;
      if (i < 0) {
        d.digits[0] = '1';
        d.count = 1;
        ++d.exponent;
      } else {
        ++d.digits[i];
        d.count = i + 1;
      }
    }
  }
  while (d.count > 0 && d.digits[d.count - 1] == '0') --d.count;
  if (d.count == 0) d.exponent = 0;
}

}  // namespace wl::detail
