#include "ui/rendered_file.h"

#include <QBuffer>
#include <new>
#include <string_view>

#include "model/atomic_file.h"

namespace sinkview {

MaybeFailure WriteRenderedFile(const std::string& path, const RenderInto& render,
                               const std::function<Failure(const std::string& reason)>& refused) {
  QBuffer bytes;
  std::string problem;
  try {
    bytes.open(QIODevice::WriteOnly);
    problem = render(bytes);
  } catch (const std::bad_alloc&) {
    problem = "not enough memory";
  }
  if (!problem.empty()) return refused(problem);
  const QByteArray& data = bytes.data();
  return WriteFileAtomically(path, std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
}

} // namespace sinkview
