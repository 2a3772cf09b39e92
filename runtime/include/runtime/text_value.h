// TextValue: the counted byte string of every text in the system. A text is a
// handle, the address of its first byte; the 32-bit byte count stands in the
// four bytes before it and one uncounted zero byte follows the last byte. The
// empty text is the null handle and owns no storage. Storage comes from
// SysAllocStringByteLen and goes back with SysFreeString.
//
//   TextRef    a borrowed handle (operations that take a text only read it)
//   ConstText  a text in the program's constant data, never released
//   TextValue  an owned handle: move, copy as a new text, release on destruction
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tavrin {

// Reads the count word in front of a non-null handle.
inline std::uint32_t TextHandleSize(const char* handle) {
  if (handle == nullptr) return 0;
  std::uint32_t count;
  std::memcpy(&count, handle - sizeof(count), sizeof(count));
  return count;
}

// A borrowed text: reads the bytes of a handle that someone else owns.
class TextRef {
 public:
  constexpr TextRef() = default;
  constexpr explicit TextRef(const char* handle) : handle_(handle) {}

  const char* handle() const { return handle_; }
  std::uint32_t size() const { return TextHandleSize(handle_); }
  bool empty() const { return size() == 0; }
  // The bytes, followed by a zero byte; "" for the null handle.
  const char* data() const { return handle_ != nullptr ? handle_ : ""; }
  std::string_view view() const { return {data(), size()}; }

 private:
  const char* handle_ = nullptr;
};

// A text in constant data: count, bytes, zero byte, laid out contiguously.
template <std::size_t N>
struct ConstText {
  std::uint32_t count;
  char bytes[N];

  // NOLINTNEXTLINE(google-explicit-constructor): literals convert implicitly.
  consteval ConstText(const char (&literal)[N]) : count(N - 1), bytes{} {
    for (std::size_t i = 0; i < N; ++i) bytes[i] = literal[i];
  }
  TextRef ref() const { return count == 0 ? TextRef() : TextRef(bytes); }
  operator TextRef() const { return ref(); }  // NOLINT(google-explicit-constructor)
};

// An owned text.
class TextValue {
 public:
  TextValue() = default;
  ~TextValue() { Reset(); }
  TextValue(TextValue&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  TextValue& operator=(TextValue&& other) noexcept;
  // Copying makes a new text with the same bytes (empty if storage fails,
  // with error 7 recorded).
  TextValue(const TextValue& other) : TextValue(Copy(other.view())) {}
  TextValue& operator=(const TextValue& other);

  // A new text of `size` bytes, zero-filled. 0 gives the empty text; a
  // negative size or no storage gives the empty text and *failed = true.
  static TextValue Allocate(std::int64_t size, bool* failed = nullptr);
  // A new text holding `bytes`. No storage: the empty text, and error 7 is
  // recorded with RaiseError.
  static TextValue Copy(std::string_view bytes);
  // Takes ownership of a handle made by SysAllocStringByteLen.
  static TextValue Adopt(char* handle) {
    TextValue t;
    t.handle_ = handle;
    return t;
  }

  // Assignment to a program-wide variable: the variable gets a text of its
  // own with the bytes of `source` and its previous text is released. When
  // storage cannot be had it becomes empty and error 7 is recorded.
  void Assign(TextRef source);

  char* handle() const { return handle_; }
  TextRef ref() const { return TextRef(handle_); }
  operator TextRef() const { return ref(); }  // NOLINT(google-explicit-constructor)
  std::uint32_t size() const { return TextHandleSize(handle_); }
  bool empty() const { return handle_ == nullptr; }
  const char* data() const { return handle_ != nullptr ? handle_ : ""; }
  char* mutable_data() { return handle_; }
  std::string_view view() const { return {data(), size()}; }
  std::string str() const { return std::string(view()); }

  // Gives up ownership of the handle without releasing it.
  char* Release() {
    char* h = handle_;
    handle_ = nullptr;
    return h;
  }
  // Releases the storage; the text becomes empty. The empty text releases nothing.
  void Reset();

 private:
  char* handle_ = nullptr;
};

}  // namespace tavrin
