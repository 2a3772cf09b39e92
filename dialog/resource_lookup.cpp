// Bitmap-resource lookup through EnumResourceNamesA.
#include "dialog/resource_lookup.h"

namespace tavrin {
namespace {

constexpr std::size_t kMaxIdDigits = 5;

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

struct LookupState {
  ResourceName wanted;
  bool found;
};

BOOL CALLBACK CompareOneName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
  auto* state = reinterpret_cast<LookupState*>(param);
  if (ResourceNameMatches(state->wanted, name)) state->found = true;
  return TRUE;  // every name is looked at
}

}  // namespace

ResourceName ParseResourceName(std::string_view name) {
  ResourceName result{false, 0, name, true};
  if (name.empty() || name.front() != '#') return result;
  result.numeric = true;
  result.text = {};
  std::size_t digits = 0;
  for (std::size_t i = 1; i < name.size() && digits < kMaxIdDigits; ++i, ++digits) {
    const char c = name[i];
    if (c < '0' || c > '9') break;
    result.id = result.id * 10 + static_cast<std::uint32_t>(c - '0');
  }
  result.valid = digits > 0;
  return result;
}

bool ResourceNameMatches(const ResourceName& wanted, LPCSTR candidate) {
  if (!wanted.valid || candidate == nullptr) return false;
  if (IS_INTRESOURCE(candidate)) {
    return wanted.numeric &&
           wanted.id == static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(candidate));
  }
  return !wanted.numeric && EqualIgnoringAsciiCase(wanted.text, std::string_view(candidate));
}

bool HasBitmapResource(HINSTANCE module, std::string_view name) {
  LookupState state{ParseResourceName(name), false};
  if (!state.wanted.valid) return false;
  EnumResourceNamesA(module, RT_BITMAP, CompareOneName, reinterpret_cast<LONG_PTR>(&state));
  return state.found;
}

}  // namespace tavrin
