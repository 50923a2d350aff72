#pragma once

#include <QObject>
#include <stdexcept>
#include <string>
#include <string_view>

namespace sinkview::testing {

// The child of that object name; a renamed control fails the test by its
// name instead of crashing it.
template <typename T = QWidget> T* Child(const QObject* parent, std::string_view name) {
  if (T* child = parent->findChild<T*>(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))))
    return child;
  throw std::runtime_error("no control " + std::string(name));
}

} // namespace sinkview::testing
