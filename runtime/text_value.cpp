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

TextValue TextValue::Allocate(std::int64_t size, bool* failed) {
  if (failed != nullptr) *failed = false;
  if (size == 0) return {};
  // SysAllocStringByteLen takes a 32-bit length; larger requests fail.
  if (size < 0 || size > 0x7FFFFFF0) {
    if (failed != nullptr) *failed = true;
    return {};
  }
  BSTR storage = SysAllocStringByteLen(nullptr, static_cast<UINT>(size));
  if (storage == nullptr) {
    if (failed != nullptr) *failed = true;
    return {};
  }
  TextValue t = Adopt(reinterpret_cast<char*>(storage));
  std::memset(t.handle_, 0, static_cast<std::size_t>(size));
  return t;
}

TextValue TextValue::Copy(std::string_view bytes) {
  bool failed = false;
  TextValue t = Allocate(static_cast<std::int64_t>(bytes.size()), &failed);
  if (failed) {
    RaiseError(ErrorNumber::kOutOfMemory);
    return {};
  }
  if (!bytes.empty()) std::memcpy(t.handle_, bytes.data(), bytes.size());
  return t;
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
