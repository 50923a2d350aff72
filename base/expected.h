#pragma once

#include <optional>
#include <utility>
#include <variant>

namespace sinkview {

// The error a call failed with, on its way into an Expected.
template <typename E> struct Unexpected {
  // A constructor of its own: clang before 17 deduces no aggregate's type.
  explicit Unexpected(E e) : error(std::move(e)) {}
  E error;
};
template <typename E> Unexpected(E) -> Unexpected<E>;

// A value, or the error that kept the call from making it: what every reader
// of the program returns, so that a caller cannot use a half-read result.
template <typename T, typename E> class [[nodiscard]] Expected {
public:
  Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  template <typename G>
  Expected(Unexpected<G> failure) : state_(std::in_place_index<1>, std::move(failure.error)) {}

  bool has_value() const { return state_.index() == 0; }
  explicit operator bool() const { return has_value(); }

  T& operator*() & { return std::get<0>(state_); }
  const T& operator*() const& { return std::get<0>(state_); }
  T&& operator*() && { return std::get<0>(std::move(state_)); }
  T* operator->() { return &std::get<0>(state_); }
  const T* operator->() const { return &std::get<0>(state_); }
  const E& error() const { return std::get<1>(state_); }

private:
  std::variant<T, E> state_;
};

// Nothing, or the error that kept the call from doing its work: what every
// writer and option check returns.
template <typename E> class [[nodiscard]] Expected<void, E> {
public:
  Expected() = default;
  template <typename G> Expected(Unexpected<G> failure) : error_(std::move(failure.error)) {}

  bool has_value() const { return !error_.has_value(); }
  explicit operator bool() const { return has_value(); }
  const E& error() const { return *error_; }

private:
  std::optional<E> error_;
};

} // namespace sinkview
