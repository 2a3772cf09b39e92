// The program's bitmap and icon resources: EnumResourceNamesA, LoadImageA
// and DestroyIcon. A Linux build carries no resources, so tests declare them
// with RegisterResource (gdi_hooks.h); names are kept as a resource
// compiler stores them, in capitals.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "gdi32_table.h"
#include "platform/linux/gdi_hooks.h"
#include "platform/linux/hooks.h"

using namespace tavrin::platform;
using namespace tavrin::platform::gdi;

namespace {

enum class ResourceType { Bitmap, Icon, None };

struct Resource {
  ResourceType type;
  bool numeric;
  WORD id;           // numeric names
  std::string name;  // text names, in capitals
  int width;
  int height;
};

struct Store {
  std::mutex lock;
  std::vector<Resource> resources;
};

Store& Resources() {
  static Store s;
  return s;
}

ResourceType TypeOf(LPCSTR type) {
  if (type == RT_BITMAP) return ResourceType::Bitmap;
  if (type == RT_ICON || type == RT_GROUP_ICON) return ResourceType::Icon;
  return ResourceType::None;
}

std::string Capitals(const char* text) {
  std::string s(text);
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// A resource name as Win32 resolves it: a numeric id (MAKEINTRESOURCEA, or
// "#" and decimal digits up to the first non-digit) or a text compared
// without regard to case.
struct Wanted {
  enum Kind { Id, Text, NoMatch, Invalid };
  Kind kind;
  WORD id;
  std::string text;
  static Wanted Of(Kind k, WORD i = 0, std::string t = {}) { return Wanted{k, i, std::move(t)}; }
};

// Wine: "#123abc" and "#0123" name id 123; "#" names nothing; "#99999"
// (above 65535) is an invalid parameter; "123" without "#" is a text name.
Wanted Resolve(LPCSTR name) {
  if (name == nullptr) return Wanted::Of(Wanted::NoMatch);
  if (IS_INTRESOURCE(name))
    return Wanted::Of(Wanted::Id, static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
  if (name[0] == '#') {
    unsigned long value = 0;
    int digits = 0;
    for (const char* p = name + 1; std::isdigit(static_cast<unsigned char>(*p)); ++p, ++digits) {
      value = value * 10 + static_cast<unsigned long>(*p - '0');
      if (value > 0xFFFF) return Wanted::Of(Wanted::Invalid);
    }
    if (digits == 0) return Wanted::Of(Wanted::NoMatch);
    return Wanted::Of(Wanted::Id, static_cast<WORD>(value));
  }
  return Wanted::Of(Wanted::Text, 0, Capitals(name));
}

bool Matches(const Resource& r, const Wanted& w) {
  if (w.kind == Wanted::Id) return r.numeric && r.id == w.id;
  if (w.kind == Wanted::Text) return !r.numeric && r.name == w.text;
  return false;
}

bool FindResource(ResourceType type, LPCSTR name, Resource* found) {
  const Wanted w = Resolve(name);
  auto& s = Resources();
  std::lock_guard guard(s.lock);
  for (const auto& r : s.resources) {
    if (r.type == type && Matches(r, w)) {
      *found = r;
      return true;
    }
  }
  return false;
}

// Win32 lists text names first, in order of their capitals, then numeric
// ids in ascending order.
bool ListedBefore(const Resource& a, const Resource& b) {
  if (a.numeric != b.numeric) return !a.numeric;
  return a.numeric ? a.id < b.id : a.name < b.name;
}

// The size an image is loaded at: the size asked for, or the image's own
// in each dimension given as 0 (Wine: a bitmap of 24x12 asked at 40x0 loads
// at 40x12).
int SizeOr(int asked, int own) {
  return asked > 0 ? asked : own;
}

constexpr int kDefaultIconSize = 32;  // SM_CXICON under Wine

}  // namespace

namespace tavrin::platform {

void RegisterResource(LPCSTR type, LPCSTR name, int width, int height) {
  const ResourceType t = TypeOf(type);
  if (t == ResourceType::None || name == nullptr) return;
  Resource r{t, IS_INTRESOURCE(name), 0, {}, std::max(width, 0), std::max(height, 0)};
  if (r.numeric)
    r.id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
  else
    r.name = Capitals(name);
  auto& s = Resources();
  std::lock_guard guard(s.lock);
  for (auto& existing : s.resources) {
    if (existing.type == t && existing.numeric == r.numeric && existing.id == r.id &&
        existing.name == r.name) {
      existing = r;
      return;
    }
  }
  s.resources.push_back(r);
}

void ClearResources() {
  auto& s = Resources();
  std::lock_guard guard(s.lock);
  s.resources.clear();
}

SIZE ImageSize(HANDLE image) {
  auto o = Find(image);
  if (!o || (o->kind != Kind::Bitmap && o->kind != Kind::Icon)) return {0, 0};
  return {o->width, o->height};
}

}  // namespace tavrin::platform

// Icons are listed under RT_GROUP_ICON, as a resource compiler stores an
// icon file; RT_ICON (the single images inside) lists nothing here. Wine:
// with no resource of the type, or when the callback stops the listing, the
// result is FALSE.
BOOL EnumResourceNamesA(HMODULE, LPCSTR type, ENUMRESNAMEPROCA callback, LONG_PTR param) {
  if (callback == nullptr) return FALSE;
  const ResourceType t = type == RT_ICON ? ResourceType::None : TypeOf(type);
  std::vector<Resource> listed;
  {
    auto& s = Resources();
    std::lock_guard guard(s.lock);
    for (const auto& r : s.resources)
      if (r.type == t) listed.push_back(r);
  }
  if (listed.empty()) return FALSE;
  std::sort(listed.begin(), listed.end(), ListedBefore);
  for (auto& r : listed) {
    LPSTR name = r.numeric ? MAKEINTRESOURCEA(r.id) : r.name.data();
    if (!callback(nullptr, type, name, param)) return FALSE;
  }
  return TRUE;
}

// 4096 x 4096 pixels of 32 bits (64 MiB): far above any image a dialog
// shows, far below what would exhaust the process.
constexpr std::int64_t kMaxBitmapPixels = std::int64_t{4096} * 4096;

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags) {
  if (ConsumeFailure(Fail::LoadImageA)) return nullptr;
  // Wine: a null instance asks for the system's images, which hold none of
  // the program's; there are no files to load from either.
  if (instance == nullptr || (flags & LR_LOADFROMFILE) || width < 0 || height < 0) return nullptr;
  Resource r{};
  if (type == IMAGE_BITMAP) {
    if (!FindResource(ResourceType::Bitmap, name, &r)) return nullptr;
    auto o = std::make_shared<Object>();
    o->kind = Kind::Bitmap;
    o->width = SizeOr(width, r.width);
    o->height = SizeOr(height, r.height);
    // Win32 gives no bitmap when its pixels cannot be allocated; this
    // in-process platform allots a bitmap at most kMaxBitmapPixels.
    if (std::int64_t{o->width} * o->height > kMaxBitmapPixels) return nullptr;
    o->bitsPerPixel = 32;
    o->surface = std::make_shared<Surface>();
    o->surface->Resize(o->width, o->height, 0x000000);
    return Add(o);
  }
  if (type == IMAGE_ICON || type == IMAGE_CURSOR) {
    if (!FindResource(ResourceType::Icon, name, &r)) return nullptr;
    const bool defaultSize = (flags & LR_DEFAULTSIZE) != 0;
    auto o = std::make_shared<Object>();
    o->kind = Kind::Icon;
    o->width = SizeOr(width, defaultSize ? kDefaultIconSize : r.width);
    o->height = SizeOr(height, defaultSize ? kDefaultIconSize : r.height);
    return Add(o);
  }
  return nullptr;
}

// Wine: DestroyIcon of a bitmap fails, and so does a second DestroyIcon.
BOOL DestroyIcon(HICON icon) {
  auto o = Find(icon);
  if (!o) {
    Remove(icon);
    return FALSE;
  }
  if (o->kind != Kind::Icon) return FALSE;
  return Remove(icon) ? TRUE : FALSE;
}
