// The value scanner of configuration texts: tables of real and integer texts
// with what each must give, every real case also run with the x87 left at
// 24-bit precision, and a seeded sweep of generated real texts against the C
// library's correctly rounded conversion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <ostream>
#include <random>
#include <string>

#include "config/value_scan.h"
#include "platform/x87.h"

namespace {

constexpr uint16_t X87PrecisionBits = 0x0300;  // 00 selects 24-bit precision
constexpr float UntouchedReal = 12345.5f;      // what a failed scan must leave
constexpr uint32_t UntouchedInteger = 0xC0FFEEu;

const double Infinity = std::numeric_limits<double>::infinity();
const double LargestSingle = std::numeric_limits<float>::max();
const double SmallestSingle = std::numeric_limits<float>::denorm_min();

// Bit-exact, so that -0.0 differs from 0.0 and an infinity shows its sign.
bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Scans with the x87 at the precision the host left (optionally cut to 24
// bits) and checks that the scanner gives that precision back.
int32_t ScanRealAt(bool reducedX87, const char* text, float* out) {
  const uint16_t hostWord = ksv::X87ControlWord();
  const uint16_t callWord =
      reducedX87 ? static_cast<uint16_t>(hostWord & ~X87PrecisionBits) : hostWord;
  ksv::SetX87ControlWord(callWord);
  const int32_t result = ksv::ScanReal(text, out);
  const uint16_t wordAfter = ksv::X87ControlWord();
  ksv::SetX87ControlWord(hostWord);
  EXPECT_EQ(wordAfter, callWord) << "the x87 control word came back changed";
  return result;
}

struct RealCase {
  const char* Text;
  bool Converts;
  double Widened;  // the single-precision result, widened; unused unless Converts
};

void PrintTo(const RealCase& c, std::ostream* os) { *os << '"' << c.Text << '"'; }

class RealScanTest : public ::testing::TestWithParam<RealCase> {};

TEST_P(RealScanTest, GivesTheNearestSingleWhateverTheX87Precision) {
  const RealCase& c = GetParam();
  for (bool reducedX87 : {false, true}) {
    SCOPED_TRACE(reducedX87 ? "x87 at 24 bits" : "x87 as the host left it");
    float scanned = UntouchedReal;
    EXPECT_EQ(ScanRealAt(reducedX87, c.Text, &scanned), c.Converts ? 1 : 0);
    const double widened = scanned;
    if (c.Converts) {
      EXPECT_TRUE(SameBits(widened, c.Widened))
          << "got " << widened << ", want " << c.Widened;
    } else {
      EXPECT_TRUE(SameBits(widened, UntouchedReal)) << "a failed scan wrote " << widened;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RealScanTest,
    ::testing::Values(
        // Rounded to single precision, then widened exactly.
        RealCase{"650.1", true, 650.0999755859375}, RealCase{"0.1", true, 0.100000001490116119384765625},
        RealCase{"16777217", true, 16777216.0},  // a tie goes to the even neighbour
        // Just above the tie between 1 and the next single: rounding through a
        // double first would land on the tie and give 1.0.
        RealCase{"1.0000000596046448", true, 1.00000011920928955078125},
        RealCase{"123456789012345678901234567890", true, 0x1.8ee91p+96},
        // The rest of the text is ignored once a number stands.
        RealCase{"650 knots", true, 650.0}, RealCase{"1.5E+2x", true, 150.0},
        RealCase{"0x1A", true, 0.0}, RealCase{"0x1p3", true, 0.0},  // no hexadecimal form
        // Exponents: only after a digit, and only with digits of their own.
        RealCase{"1e3", true, 1000.0}, RealCase{"2E-1", true, 0.20000000298023223876953125},
        RealCase{"5e", true, 5.0}, RealCase{"5e+", true, 5.0}, RealCase{"5e-x", true, 5.0},
        RealCase{"1.e5", true, 100000.0},
        // Full stops and signs.
        RealCase{".5", true, 0.5}, RealCase{"5.", true, 5.0}, RealCase{"-.5", true, -0.5},
        RealCase{"+.5e1", true, 5.0}, RealCase{"+7", true, 7.0}, RealCase{"-0", true, -0.0},
        RealCase{"-4.5", true, -4.5},
        // Leading white space of every kind.
        RealCase{"\t\n\v\f\r 42.25", true, 42.25},
        // Beyond single precision: an infinity of the sign, or towards zero.
        RealCase{"1e39", true, Infinity}, RealCase{"-1e39", true, -Infinity},
        RealCase{"3.40282356e38", true, LargestSingle},
        RealCase{"3.40282357e38", true, Infinity},  // past the tie with 2^128
        RealCase{"0.001e42", true, Infinity}, RealCase{"1e4294967297", true, Infinity},
        RealCase{"1e-40", true, 0x116C2p-149},  // kept, with fewer digits
        RealCase{"1e-45", true, SmallestSingle}, RealCase{"7.1e-46", true, SmallestSingle},
        RealCase{"7e-46", true, 0.0}, RealCase{"1e-50", true, 0.0},
        RealCase{"-1e-50", true, -0.0}, RealCase{"1000e-50", true, 0.0},
        RealCase{"1e-4294967297", true, 0.0}, RealCase{"0e999999", true, 0.0},
        RealCase{"00000000000000000000000000001e-45", true, SmallestSingle},
        // No digit where the number should begin.
        RealCase{"", false, 0}, RealCase{"   \t", false, 0}, RealCase{"abc", false, 0},
        RealCase{"-", false, 0}, RealCase{"+", false, 0}, RealCase{".", false, 0},
        RealCase{"-.", false, 0}, RealCase{"e5", false, 0}, RealCase{".e5", false, 0},
        RealCase{"+-5", false, 0}, RealCase{"- 5", false, 0}, RealCase{"inf", false, 0},
        RealCase{"-inf", false, 0}, RealCase{"infinity", false, 0}, RealCase{"nan", false, 0},
        RealCase{"NAN(1)", false, 0}));

struct IntegerCase {
  const char* Text;
  bool Converts;
  uint32_t Value;  // the stored 32-bit pattern; unused unless Converts
};

void PrintTo(const IntegerCase& c, std::ostream* os) { *os << '"' << c.Text << '"'; }

class IntegerScanTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerScanTest, AccumulatesDecimalDigitsInWrappingArithmetic) {
  const IntegerCase& c = GetParam();
  uint32_t scanned = UntouchedInteger;
  EXPECT_EQ(ksv::ScanInteger(c.Text, &scanned), c.Converts ? 1 : 0);
  EXPECT_EQ(scanned, c.Converts ? c.Value : UntouchedInteger);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IntegerScanTest,
    ::testing::Values(
        IntegerCase{"650 knots", true, 650}, IntegerCase{"12.5", true, 12},
        IntegerCase{"0x1A", true, 0}, IntegerCase{"1e3", true, 1},
        IntegerCase{"-1", true, 4294967295u}, IntegerCase{"+7", true, 7},
        IntegerCase{"-0", true, 0}, IntegerCase{"\t\n\v\f\r 42", true, 42},
        IntegerCase{"0000000000000000000012", true, 12},
        // Wrapping, then the sign.
        IntegerCase{"4294967295", true, 4294967295u}, IntegerCase{"4294967296", true, 0},
        IntegerCase{"4294967297", true, 1}, IntegerCase{"2147483648", true, 2147483648u},
        IntegerCase{"-2147483648", true, 2147483648u}, IntegerCase{"-4294967295", true, 1},
        IntegerCase{"99999999999", true, 1215752191u},
        IntegerCase{"-99999999999", true, 3079215105u},
        // No digit where the number should begin.
        IntegerCase{"", false, 0}, IntegerCase{"  ", false, 0}, IntegerCase{"abc", false, 0},
        IntegerCase{"-", false, 0}, IntegerCase{"+", false, 0}, IntegerCase{".", false, 0},
        IntegerCase{".5", false, 0}, IntegerCase{"+-1", false, 0},
        IntegerCase{"- 1", false, 0}, IntegerCase{"x12", false, 0}));

// Texts of the real grammar in random shapes (blank lead, sign, long or
// zero-padded digit runs, fractions, exponents from tiny to huge, trailing
// words), compared with strtof, which rounds correctly. None of them has a
// hexadecimal or word form, where the two deliberately part.
std::string GeneratedRealText(std::mt19937& random) {
  auto below = [&random](unsigned n) { return static_cast<unsigned>(random() % n); };
  auto digits = [&](std::string& text, unsigned count) {
    for (unsigned i = 0; i < count; ++i) text += static_cast<char>('0' + below(10));
  };
  std::string text(below(3), " \t\n"[below(3)]);
  if (below(3) != 0) text += "-+"[below(2)];
  text.append(below(3) == 0 ? below(50) : 0, '0');
  digits(text, below(25));
  if (below(2) != 0) {
    text += '.';
    text.append(below(3) == 0 ? below(60) : 0, '0');
    digits(text, below(25));
  }
  if (below(2) != 0) {
    text += "eE"[below(2)];
    if (below(3) != 0) text += "-+"[below(2)];
    if (below(4) != 0) text += std::to_string(below(3) == 0 ? below(400) : below(60));
  }
  if (below(3) == 0) text += " knots";
  return text;
}

TEST(RealScanSweep, AgreesWithCorrectRoundingOnGeneratedTexts) {
  std::mt19937 random(20240611u);
  int disagreements = 0;
  for (int i = 0; i < 20000 && disagreements < 10; ++i) {
    const std::string text = GeneratedRealText(random);
    char* end = nullptr;
    const float expected = std::strtof(text.c_str(), &end);
    const bool converts = end != text.c_str();
    float scanned = UntouchedReal;
    const int32_t result = ScanRealAt(i % 2 != 0, text.c_str(), &scanned);
    const bool agrees = result == (converts ? 1 : 0) &&
                        SameBits(scanned, converts ? expected : UntouchedReal);
    if (!agrees) {
      ++disagreements;
      ADD_FAILURE() << "\"" << text << "\": got " << result << " and " << scanned
                    << ", want " << converts << " and " << expected;
    }
  }
}

}  // namespace
