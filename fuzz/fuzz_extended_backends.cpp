// Runs operation sequences read from the input on both extended-real
// backends at once, the x87 unit (Extended in this build) and the integer
// arithmetic (soft_extended.h), and aborts on the first result whose bits
// differ: every register after every step, and every integer, double and
// ordering an operation gives.
//
// Input: four registers of ten bytes each (significand, then sign/exponent;
// missing bytes are zero), then two-byte steps: the first byte names the
// operation (low four bits) and the destination register (bits 4-5), the
// second the two source registers (bits 0-1 and 2-3). A load step takes the
// ten bytes after it as the destination's new value.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "numtext/extended_bits.h"
#include "numtext/soft_extended.h"
#include "runtime/fp_control.h"

#ifdef TAVRIN_EXTENDED_SOFT
#error "the fuzz build compares the software backend against the x87 unit"
#endif

namespace {

using tavrin::Extended;
using tavrin::ExtendedFields;
using tavrin::soft::Value;

constexpr int kRegisters = 4;
constexpr std::size_t kValueBytes = 10;
constexpr std::size_t kStepBytes = 2;

enum class Op : std::uint8_t {
  kAdd,
  kSubtract,
  kMultiply,
  kDivide,
  kNegate,
  kAbs,
  kRoundToIntegral,
  kThroughDouble,  // rounded to double and back
  kThroughInt64,   // rounded to a 64-bit integer and back
  kCompare,
  kLoad,
  kCount
};

// The two backends' registers side by side.
struct Machine {
  Extended hard[kRegisters];
  Value soft[kRegisters];
};

Value Read(const std::uint8_t* bytes, std::size_t available) {
  tavrin::PackedExtended packed{};
  std::memcpy(packed.data(), bytes, available < kValueBytes ? available : kValueBytes);
  return tavrin::UnpackExtended(packed);
}

[[noreturn]] void Fail(const char* what, int step, std::uint64_t soft, std::uint64_t hard) {
  std::fprintf(stderr, "backends differ at step %d (%s): soft %016llx, unit %016llx\n", step, what,
               static_cast<unsigned long long>(soft), static_cast<unsigned long long>(hard));
  std::abort();
}

void Check(const char* what, int step, std::uint64_t soft, std::uint64_t hard) {
  if (soft != hard) Fail(what, step, soft, hard);
}

void CheckRegister(const Machine& m, int r, int step) {
  const ExtendedFields hard = m.hard[r].Fields();
  Check("significand", step, m.soft[r].significand, hard.significand);
  Check("sign and exponent", step, m.soft[r].signExponent, hard.signExponent);
}

std::uint64_t OrderCode(std::partial_ordering order) {
  if (order < 0) return 1;
  if (order > 0) return 2;
  return order == 0 ? 0 : 3;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  tavrin::SetStartupFpuControl();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Machine m;
  std::size_t at = 0;
  for (int r = 0; r < kRegisters; ++r) {
    m.soft[r] = Read(data + at, size - at);
    m.hard[r] = Extended::FromFields(m.soft[r]);
    at = at + kValueBytes < size ? at + kValueBytes : size;
  }
  for (int step = 0; size - at >= kStepBytes; ++step) {
    const std::uint8_t code = data[at], sources = data[at + 1];
    at += kStepBytes;
    const auto op = static_cast<Op>((code & 0xF) % static_cast<int>(Op::kCount));
    const int d = (code >> 4) & 3, x = sources & 3, y = (sources >> 2) & 3;
    const Extended a = m.hard[x], b = m.hard[y];
    const Value sa = m.soft[x], sb = m.soft[y];
    const auto set = [&](Extended hard, Value soft) {
      m.hard[d] = hard;
      m.soft[d] = soft;
    };
    switch (op) {
      case Op::kAdd:
        set(a + b, tavrin::soft::Add(sa, sb));
        break;
      case Op::kSubtract:
        set(a - b, tavrin::soft::Subtract(sa, sb));
        break;
      case Op::kMultiply:
        set(a * b, tavrin::soft::Multiply(sa, sb));
        break;
      case Op::kDivide:
        set(a / b, tavrin::soft::Divide(sa, sb));
        break;
      case Op::kNegate:
        set(-a, tavrin::soft::Negate(sa));
        break;
      case Op::kAbs:
        set(Abs(a), tavrin::soft::Abs(sa));
        break;
      case Op::kRoundToIntegral:
        set(RoundToIntegral(a), tavrin::soft::RoundToIntegral(sa));
        break;
      case Op::kThroughDouble: {
        const double hd = static_cast<double>(a);
        std::uint64_t hardBits;
        std::memcpy(&hardBits, &hd, sizeof hardBits);
        const std::uint64_t softBits = tavrin::soft::ToDoubleBits(sa);
        Check("to double", step, softBits, hardBits);
        set(Extended(hd), tavrin::soft::FromDoubleBits(softBits));
        break;
      }
      case Op::kThroughInt64: {
        const std::int64_t hi = RoundToInt64(a), si = tavrin::soft::ToInt64(sa);
        Check("to int64", step, static_cast<std::uint64_t>(si), static_cast<std::uint64_t>(hi));
        set(Extended(hi), tavrin::soft::FromSigned(si));
        break;
      }
      case Op::kCompare:
        Check("order", step, OrderCode(tavrin::soft::Compare(sa, sb)), OrderCode(a <=> b));
        continue;
      case Op::kLoad:
      case Op::kCount:
        m.soft[d] = Read(data + at, size - at);
        m.hard[d] = Extended::FromFields(m.soft[d]);
        at = at + kValueBytes < size ? at + kValueBytes : size;
        break;
    }
    CheckRegister(m, d, step);
  }
  return 0;
}
