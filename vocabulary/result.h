// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The one shape of an expected failure inside the code: a value or the reason there is none.
// It follows std::expected's names (has_value, value, error, value_or, Unexpected), so code
// written against it reads the same once the project's compilers all offer std::expected
// (clang 14's library headers do not, and the fuzz targets are built with it). Exceptions stay
// for the component contract and for programmer misuse; value() of a failure is such misuse.

#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <variant>

namespace x10 {

// The failure a Result holds; written x10::Unexpected{reason} where a Result is returned.
template <class E>
class Unexpected {
public:
  explicit Unexpected(E error) : error_(std::move(error)) {}
  const E &error() const & { return error_; }
  E &&error() && { return std::move(error_); }

private:
  E error_;
};
template <class E>
Unexpected(E) -> Unexpected<E>;

template <class T, class E>
class [[nodiscard]] Result {
public:
  using value_type = T;
  using error_type = E;

  template <class U = T>
  requires std::is_constructible_v<T, U &&> Result(U &&value)
      : state_(std::in_place_index<0>, std::forward<U>(value)) {}
  template <class G>
  Result(Unexpected<G> failure) : state_(std::in_place_index<1>, std::move(failure).error()) {}

  bool has_value() const { return state_.index() == 0; }
  explicit operator bool() const { return has_value(); }

  T &value() & { return checked(*this); }
  const T &value() const & { return checked(*this); }
  T &&value() && { return std::move(checked(*this)); }
  T &operator*() & { return value(); }
  const T &operator*() const & { return value(); }
  T *operator->() { return &value(); }
  const T *operator->() const { return &value(); }
  template <class U>
  T value_or(U &&fallback) const & {
    return has_value() ? std::get<0>(state_) : static_cast<T>(std::forward<U>(fallback));
  }

  const E &error() const & { return std::get<1>(state_); }
  E &&error() && { return std::get<1>(std::move(state_)); }

private:
  template <class Self>
  static auto &checked(Self &self) {
    if (!self.has_value())
      throw std::logic_error("value() of a failed Result");
    return std::get<0>(self.state_);
  }

  std::variant<T, E> state_;
};

// A Result with nothing to hand back on success.
template <class E>
class [[nodiscard]] Result<void, E> {
public:
  using value_type = void;
  using error_type = E;

  Result() = default;
  template <class G>
  Result(Unexpected<G> failure) : error_(std::move(failure).error()) {}

  bool has_value() const { return !error_.has_value(); }
  explicit operator bool() const { return has_value(); }
  void value() const {
    if (!has_value())
      throw std::logic_error("value() of a failed Result");
  }
  const E &error() const & { return *error_; }
  E &&error() && { return *std::move(error_); }

private:
  std::optional<E> error_;
};

} // namespace x10
