#include "ui/rendered_file.h"

#include <QBuffer>
#include <new>
#include <string_view>

#include "base/atomic_file.h"

namespace sinkview {

Expected<AtomicFile, Failure>
RenderToTemporary(const OutputFile& target, const RenderInto& render,
                  const std::function<Failure(const std::string& reason)>& refused) {
  QBuffer bytes;
  std::string problem;
  try {
    bytes.open(QIODevice::WriteOnly);
    problem = render(bytes);
  } catch (const std::bad_alloc&) {
    problem = "not enough memory";
  }
  if (!problem.empty()) return Unexpected(refused(problem));
  auto file = AtomicFile::Open(target);
  const QByteArray& data = bytes.data();
  if (file) file->Write(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
  return file;
}

Expected<void, Failure> WriteRenderedFile(const std::string& path, const RenderInto& render,
                                          const std::function<Failure(const std::string& reason)>& refused) {
  auto file = RenderToTemporary(path, render, refused);
  if (!file) return Unexpected(file.error());
  return file->Commit();
}

} // namespace sinkview
