// TextValue storage through SysAllocStringByteLen and SysFreeString.
#include "runtime/text_value.h"

#include "platform/win32.h"
#include "runtime/errors.h"

namespace tavrin {

TextValue& TextValue::operator=(TextValue&& other) noexcept {
  if (this != &other) {
    Reset();
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

TextValue& TextValue::operator=(const TextValue& other) {
  if (this != &other) Assign(other.ref());
  return *this;
}

namespace {

// Storage for `size` bytes from SysAllocStringByteLen, a copy of `source`
// (unset when it is null: Win32 leaves it so); null for a negative size, one
// SysAllocStringByteLen cannot take, or no memory.
char* AllocateStorage(std::int64_t size, const char* source) {
  // SysAllocStringByteLen takes a 32-bit length; larger requests fail.
  if (size <= 0 || size > 0x7FFFFFF0) return nullptr;
  return reinterpret_cast<char*>(SysAllocStringByteLen(source, static_cast<UINT>(size)));
}

}  // namespace

TextValue TextValue::Allocate(std::int64_t size, bool* failed) {
  if (failed != nullptr) *failed = false;
  if (size == 0) return {};
  char* storage = AllocateStorage(size, nullptr);
  if (storage == nullptr) {
    if (failed != nullptr) *failed = true;
    return {};
  }
  std::memset(storage, 0, static_cast<std::size_t>(size));
  return Adopt(storage);
}

TextValue TextValue::Copy(std::string_view bytes) {
  if (bytes.empty()) return {};
  char* storage = AllocateStorage(static_cast<std::int64_t>(bytes.size()), bytes.data());
  if (storage == nullptr) {
    RaiseError(ErrorNumber::kOutOfMemory);
    return {};
  }
  return Adopt(storage);
}

void TextValue::Assign(TextRef source) {
  TextValue fresh = Copy(source.view());
  *this = std::move(fresh);
}

void TextValue::Reset() {
  if (handle_ != nullptr) {
    SysFreeString(reinterpret_cast<BSTR>(handle_));
    handle_ = nullptr;
  }
}

}  // namespace tavrin
