// Reading the lines of a stream in large blocks, without a copy or an
// allocation per line.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

namespace tavrin::cli {

// The lines of `in` as std::getline gives them: each ends at a line feed,
// which is not part of it, and a last line without one is a line too. Each
// line is a view into the reader's buffer, valid until the next call of Next.
// The buffer holds a few blocks; a longer line makes it grow to hold it.
class LineReader {
 public:
  explicit LineReader(std::FILE* in);

  // The next line; false at the end of the input or after a read error.
  bool Next(std::string_view& line);
  // True when reading stopped at an error rather than at the end.
  bool failed() const { return failed_; }

 private:
  // Moves the unread bytes to the buffer's start, grows the buffer when
  // they fill it, and reads the next block after them. False when nothing
  // more could be read.
  bool Refill();

  std::FILE* in_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_;
  std::size_t begin_ = 0;    // first unread byte
  std::size_t scanned_ = 0;  // bytes from begin_ already searched for a line feed
  std::size_t end_ = 0;      // end of the bytes read
  bool atEnd_ = false;
  bool failed_ = false;
};

}  // namespace tavrin::cli
