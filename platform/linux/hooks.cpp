// Failure injection and live counts of the Linux platform.
#include "platform/linux/hooks.h"

#include <array>
#include <atomic>

#include "live_texts.h"

namespace tavrin::platform {
namespace {

struct Pending {
  std::atomic<int> skip{0};
  std::atomic<int> count{0};
};

std::array<Pending, static_cast<int>(Fail::kCount)> g_pending;
std::array<std::atomic<std::int64_t>, static_cast<int>(Live::kCount)> g_live{};
std::atomic<std::int64_t> g_double_releases{0};

}  // namespace

void FailNext(Fail which, int count, int skip) {
  auto& p = g_pending[static_cast<int>(which)];
  p.skip = skip;
  p.count = count;
  g_failures_armed.store(true, std::memory_order_relaxed);
}

void ClearFailures() {
  for (auto& p : g_pending) {
    p.skip = 0;
    p.count = 0;
  }
  g_failures_armed.store(false, std::memory_order_relaxed);
}

bool ConsumeArmedFailure(Fail which) {
  auto& p = g_pending[static_cast<int>(which)];
  if (p.count <= 0) return false;
  if (p.skip > 0) {
    --p.skip;
    return false;
  }
  --p.count;
  return true;
}

std::int64_t LiveCount(Live what) {
  // The text storage counts its texts per thread.
  if (what == Live::Text) return LiveTexts();
  return g_live[static_cast<int>(what)];
}

void CountLive(Live what, int delta) {
  auto& n = g_live[static_cast<int>(what)];
  if (delta < 0 && n + delta < 0) {
    ++g_double_releases;
    return;
  }
  n += delta;
}

std::int64_t DoubleReleases() {
  return g_double_releases;
}

void CountDoubleRelease() {
  ++g_double_releases;
}

}  // namespace tavrin::platform
