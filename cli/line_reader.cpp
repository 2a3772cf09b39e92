// LineReader: lines found with memchr in blocks read by fread.
#include "cli/line_reader.h"

#include <cstring>

namespace tavrin::cli {

namespace {
// One read: large enough that the calls cost nothing per line, small
// enough to stay in the processor's cache.
constexpr std::size_t kBlockSize = std::size_t{1} << 18;
}  // namespace

LineReader::LineReader(std::FILE* in)
    : in_(in), buffer_(new char[kBlockSize]), capacity_(kBlockSize) {}

bool LineReader::Next(std::string_view& line) {
  while (true) {
    const char* const start = buffer_.get() + begin_;
    const std::size_t unread = end_ - begin_;
    if (const void* feed = std::memchr(start + scanned_, '\n', unread - scanned_)) {
      const auto length = static_cast<std::size_t>(static_cast<const char*>(feed) - start);
      line = {start, length};
      begin_ += length + 1;
      scanned_ = 0;
      return true;
    }
    scanned_ = unread;
    if (!atEnd_ && Refill()) continue;
    if (unread == 0) return false;
    line = {start, unread};  // the last line, without a line feed
    begin_ = end_;
    scanned_ = 0;
    return true;
  }
}

bool LineReader::Refill() {
  const std::size_t unread = end_ - begin_;
  if (begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, unread);
    begin_ = 0;
    end_ = unread;
  }
  if (end_ == capacity_) {  // one line fills the buffer
    const std::size_t grown = capacity_ * 2;
    std::unique_ptr<char[]> larger(new char[grown]);
    std::memcpy(larger.get(), buffer_.get(), end_);
    buffer_ = std::move(larger);
    capacity_ = grown;
  }
  const std::size_t got = std::fread(buffer_.get() + end_, 1, capacity_ - end_, in_);
  end_ += got;
  if (got == 0) {
    atEnd_ = true;
    failed_ = std::ferror(in_) != 0;
  }
  return got > 0;
}

}  // namespace tavrin::cli
