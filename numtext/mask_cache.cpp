// The per-thread cache of compiled masks: a few entries, found by comparing
// the mask's bytes, replaced in turn.
#include "numtext/mask_cache.h"

#include <cstring>

#include "platform/short_bytes.h"

namespace tavrin {
namespace {

constexpr int kCacheEntries = 8;

struct MaskCache {
  std::array<CompiledMask, kCacheEntries> entries;
  int used = 0;     // entries filled so far
  int next = 0;     // the entry the next new mask replaces
  int lastHit = 0;  // looked at first
};

constinit thread_local MaskCache tCache{};

bool Holds(const CompiledMask& entry, std::string_view mask) {
  return entry.length == mask.size() &&
         platform::EqualShort(entry.bytes.data(), mask.data(), mask.size());
}

// Fills `entry` with `mask` split and compiled; the sections are views of
// the entry's own copy of the bytes.
void Compile(std::string_view mask, CompiledMask& entry) {
  std::memcpy(entry.bytes.data(), mask.data(), mask.size());
  entry.length = mask.size();
  entry.sections = SplitSections({entry.bytes.data(), entry.length});
  for (int i = 0; i < 3; ++i) {
    entry.plain[i] = {};
    if (entry.sections.present[i]) {
      CompileSection(entry.sections.text[i], entry.templates[i]);
      entry.plain[i] = DescribePlainMask(entry.templates[i]);
    }
  }
}

}  // namespace

const CompiledMask* FindCompiledMask(std::string_view mask) {
  if (mask.size() > static_cast<std::size_t>(kCachedMaskLength)) return nullptr;
  MaskCache& cache = tCache;
  if (cache.used > 0 && Holds(cache.entries[cache.lastHit], mask)) {
    return &cache.entries[cache.lastHit];
  }
  for (int i = 0; i < cache.used; ++i) {
    if (Holds(cache.entries[i], mask)) {
      cache.lastHit = i;
      return &cache.entries[i];
    }
  }
  const int slot = cache.next;
  cache.next = (cache.next + 1) % kCacheEntries;
  if (cache.used < kCacheEntries) ++cache.used;
  Compile(mask, cache.entries[slot]);
  cache.lastHit = slot;
  return &cache.entries[slot];
}

}  // namespace tavrin
