#include "base/small_text_file.h"

#include "base/reader_text.h"
#include "base/whole_file.h"

namespace sinkview {

Expected<std::string, Failure> ReadSmallTextFile(const std::string& path, std::size_t maxBytes) {
  WholeFile file = ReadWholeFile(path, maxBytes);
  std::string why;
  switch (file.problem) {
  case WholeFile::Problem::None:
    return std::move(file.text);
  case WholeFile::Problem::Missing:
  case WholeFile::Problem::CannotRead:
    why = "the file cannot be opened (" + ErrorText(file.error) + ")";
    break;
  case WholeFile::Problem::NotRegular:
    why = "not a regular file";
    break;
  case WholeFile::Problem::NoEnd:
    why = "the file does not come to an end when read";
    break;
  case WholeFile::Problem::TooLarge:
    why = "the file is larger than " + std::to_string(maxBytes >> 20) + " MiB";
    break;
  }
  return Unexpected(Failure{ShownFileName(path) + ": " + why + "."});
}

} // namespace sinkview
