// Number text conversion for the JSON reader. Short decimal mantissas with
// small exponents are converted exactly here (one correctly rounded IEEE
// operation); everything else is handed to the C library's strtod on the
// same text, made independent of the process locale's decimal point.
#include "json/json_number.h"

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "hostlink/host_services.h"

namespace {

constexpr uint64_t kExactIntegerLimit = uint64_t(1) << 53;
constexpr int kMaxFastDigits = 19;

const double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                               1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPower = 22;

const uint64_t kIntegerPowersOfTen[] = {1ull,
                                        10ull,
                                        100ull,
                                        1000ull,
                                        10000ull,
                                        100000ull,
                                        1000000ull,
                                        10000000ull,
                                        100000000ull,
                                        1000000000ull,
                                        10000000000ull,
                                        100000000000ull,
                                        1000000000000ull,
                                        10000000000000ull,
                                        100000000000000ull,
                                        1000000000000000ull,
                                        10000000000000000ull};
constexpr int kMaxIntegerPower = 16;

inline bool isDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

inline bool isHexDigit(char c) { return isDigit(c) || static_cast<unsigned char>((c | 0x20) - 'a') < 6; }

inline bool isAsciiAlnum(char c) { return isDigit(c) || static_cast<unsigned char>((c | 0x20) - 'a') < 26; }

inline bool isLetter(char c, char lower) { return (c | 0x20) == lower; }

// Hands the consumed text [text, end) to strtod. The C library reads the
// locale's decimal point, so the text is copied with the point replaced
// when the locale uses another one.
const char* convertWithLibrary(const char* text, const char* end, double* value) {
  const char* point = std::localeconv()->decimal_point;
  if (point == nullptr || (point[0] == '.' && point[1] == '\0')) {
    *value = std::strtod(text, nullptr);
    return end;
  }
  size_t length = static_cast<size_t>(end - text);
  size_t pointLength = std::strlen(point);
  size_t size = length + pointLength + 1;
  char local[160];
  char* copy = local;
  if (size > sizeof local) {
    if (size > UINT32_MAX) return nullptr;
    copy = static_cast<char*>(hostAllocate(static_cast<uint32_t>(size)));
    if (copy == nullptr) return nullptr;
  }
  char* out = copy;
  for (const char* p = text; p < end; ++p) {
    if (*p == '.') {
      std::memcpy(out, point, pointLength);
      out += pointLength;
    } else {
      *out++ = *p;
    }
  }
  *out = '\0';
  *value = std::strtod(copy, nullptr);
  if (copy != local) hostRelease(copy);
  return end;
}

// "0x" after the optional sign: a hexadecimal number when at least one hex
// digit follows (around an optional point), else only the "0" is read.
const char* convertHexNumber(const char* text, const char* zero, bool negative, double* value) {
  const char* p = zero + 2;
  bool digits = false;
  while (isHexDigit(*p)) {
    ++p;
    digits = true;
  }
  if (*p == '.' && (digits || isHexDigit(p[1]))) {
    ++p;
    while (isHexDigit(*p)) {
      ++p;
      digits = true;
    }
  }
  if (!digits) {
    *value = negative ? -0.0 : 0.0;
    return zero + 1;
  }
  if (isLetter(*p, 'p')) {
    const char* q = p + 1;
    if (*q == '-' || *q == '+') ++q;
    if (isDigit(*q)) {
      while (isDigit(*q)) ++q;
      p = q;
    }
  }
  return convertWithLibrary(text, p, value);
}

// "inf", "infinity", "nan" and "nan(chars)" in any case of letters.
const char* convertSpecialNumber(const char* text, const char* p, bool negative, double* value) {
  if (isLetter(p[0], 'i') && isLetter(p[1], 'n') && isLetter(p[2], 'f')) {
    const char* end = p + 3;
    static const char kRest[] = "inity";
    int matched = 0;
    while (matched < 5 && isLetter(end[matched], kRest[matched])) ++matched;
    if (matched == 5) end += 5;
    double infinity = std::numeric_limits<double>::infinity();
    *value = negative ? -infinity : infinity;
    return end;
  }
  if (isLetter(p[0], 'n') && isLetter(p[1], 'a') && isLetter(p[2], 'n')) {
    const char* end = p + 3;
    if (*end == '(') {
      const char* q = end + 1;
      while (isAsciiAlnum(*q) || *q == '_') ++q;
      // The characters in parentheses may choose the NaN's payload: the
      // library decides it.
      if (*q == ')') return convertWithLibrary(text, q + 1, value);
    }
    double nan = std::numeric_limits<double>::quiet_NaN();
    *value = negative ? -nan : nan;
    return end;
  }
  *value = 0.0;
  return text;
}

// m x 10^e in one correctly rounded operation, when both factors are exact.
bool convertExactly(uint64_t mantissa, int64_t exponent, double* value) {
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
  if (mantissa > kExactIntegerLimit) return false;
  double m = static_cast<double>(mantissa);
  if (exponent >= 0 && exponent <= kMaxExactPower) {
    *value = m * kPowersOfTen[exponent];
    return true;
  }
  if (exponent < 0 && exponent >= -kMaxExactPower) {
    *value = m / kPowersOfTen[-exponent];
    return true;
  }
  if (exponent > kMaxExactPower && exponent <= kMaxExactPower + kMaxIntegerPower) {
    uint64_t scale = kIntegerPowersOfTen[exponent - kMaxExactPower];
    if (mantissa > kExactIntegerLimit / scale) return false;
    *value = static_cast<double>(mantissa * scale) * kPowersOfTen[kMaxExactPower];
    return true;
  }
  return false;
#else
  // Intermediate results carry extra precision here, so a rounded product
  // could be rounded twice: only results that need no rounding at all.
  if (exponent < 0 || exponent > kMaxIntegerPower) return false;
  uint64_t scale = kIntegerPowersOfTen[exponent];
  if (mantissa > kExactIntegerLimit / scale) return false;
  *value = static_cast<double>(mantissa * scale);
  return true;
#endif
}

// The number of digits (0 to 8) that begin the eight bytes at `p`, with
// their value in *value; no branch depends on the count. Little-endian: the
// first byte is the lowest.
inline unsigned readLeadingDigits(const char* p, uint64_t* value) {
  static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "bytes are counted from the low end");
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  const uint64_t x = v ^ 0x3030303030303030ull;  // a digit becomes 0 to 9
  // The high bit of each byte that is not a digit (exact up to the first).
  const uint64_t others = ((x + 0x7676767676767676ull) | x) & 0x8080808080808080ull;
  const unsigned count = others != 0 ? static_cast<unsigned>(__builtin_ctzll(others)) >> 3 : 8;
  // The digits moved to the top, as the last of eight, zeros before them.
  uint64_t d = count != 0 ? x << (64 - 8 * count) : 0;
  d = d * 10 + (d >> 8);  // pairs of digits in every other byte
  *value = (((d & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
            (((d >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
           32;
  return count;
}

// Reads the run of digits at `p` into *mantissa (which wraps beyond 19
// digits; the caller counts them) and returns its end. Eight bytes are
// looked at together while eight remain before `textEnd`.
inline const char* readDigits(const char* p, const char* textEnd, uint64_t* mantissa) {
  uint64_t m = *mantissa;
  while (textEnd - p >= 8) {
    uint64_t value;
    const unsigned count = readLeadingDigits(p, &value);
    m = m * kIntegerPowersOfTen[count] + value;
    p += count;
    if (count < 8) {
      *mantissa = m;
      return p;
    }
  }
  for (; isDigit(*p); ++p) m = m * 10 + static_cast<unsigned>(*p - '0');
  *mantissa = m;
  return p;
}

}  // namespace

const char* convertNumberText(const char* text, double* value) {
  bool decimal;
  return convertNumberText(text, text, value, &decimal);
}

const char* convertNumberText(const char* text, const char* textEnd, double* value, bool* decimal) {
  const char* p = text;
  bool negative = false;
  if (*p == '-' || *p == '+') {
    negative = *p == '-';
    ++p;
  }
  if (isDigit(*p)) {
    if (*p == '0' && isLetter(p[1], 'x')) return convertHexNumber(text, p, negative, value);
  } else if (!(*p == '.' && isDigit(p[1]))) {
    return convertSpecialNumber(text, p, negative, value);
  }
  *decimal = true;

  // Every digit, leading zeros included, counts toward the 19 that fit the
  // mantissa; longer texts (rare) go to the library.
  const char* first = p;
  uint64_t mantissa = 0;
  p = readDigits(p, textEnd, &mantissa);
  size_t digits = static_cast<size_t>(p - first);
  int64_t exponent = 0;
  if (*p == '.') {
    const char* fraction = ++p;
    p = readDigits(p, textEnd, &mantissa);
    digits += static_cast<size_t>(p - fraction);
    exponent = -static_cast<int64_t>(p - fraction);
  }
  if (isLetter(*p, 'e')) {
    const char* q = p + 1;
    bool exponentNegative = false;
    if (*q == '-' || *q == '+') {
      exponentNegative = *q == '-';
      ++q;
    }
    if (isDigit(*q)) {
      int64_t written = 0;
      for (; isDigit(*q); ++q) {
        if (written < 1000000) written = written * 10 + (*q - '0');
      }
      exponent += exponentNegative ? -written : written;
      p = q;
    }
  }

  if (digits <= kMaxFastDigits) {
    double magnitude;
    if (mantissa == 0) {
      *value = negative ? -0.0 : 0.0;
      return p;
    }
    if (convertExactly(mantissa, exponent, &magnitude)) {
      *value = negative ? -magnitude : magnitude;
      return p;
    }
  }
  return convertWithLibrary(text, p, value);
}
