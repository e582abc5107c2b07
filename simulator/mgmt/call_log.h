// How every CIFSLIB_ call starts: it is logged, delayed if the tests asked for
// it, and checked against the injected failures before it may touch the model.
#pragma once

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "cifs_sim_status.h"
#include "share_record_codec.h"
#include "state.h"
#include "wire_layout.h"

namespace cifssim {

// Holds the state lock from the end of the delay until it goes out of scope.
class call_scope {
 public:
  // `match_name` is what failure rules with a name compare against.
  call_scope(library_call call, std::string text, std::optional<bytes> record, std::string_view match_name);
  call_scope(const call_scope &) = delete;
  call_scope &operator=(const call_scope &) = delete;

  std::optional<int32_t> injected() const { return injected_; }
  sim_state &state() { return state_; }

 private:
  sim_state &state_;
  std::unique_lock<decltype(sim_state::mutex)> lock_;
  std::optional<int32_t> injected_;
};

// A call whose required pointer argument is null: logged, and answered with
// an injected status or CIFSSIM_NULL_ARGUMENT.
inline int32_t refuse_null_argument(library_call call) {
  call_scope scope(call, "", std::nullopt, "");
  return scope.injected().value_or(CIFSSIM_NULL_ARGUMENT);
}

// A call without arguments worth logging; `work` runs locked unless a failure
// was injected.
template <class Work>
int32_t run_plain_call(library_call call, Work work) {
  call_scope scope(call, "", std::nullopt, "");
  if (auto injected = scope.injected()) return *injected;
  return work(scope.state());
}

// A call with one text argument; a null text is logged as "" and refused.
template <class Work>
int32_t run_text_call(library_call call, const char *text, Work work) {
  const std::string logged = text ? text : "";
  call_scope scope(call, logged, std::nullopt, logged);
  if (auto injected = scope.injected()) return *injected;
  if (!text) return CIFSSIM_NULL_ARGUMENT;
  return work(scope.state(), std::string_view(logged));
}

// A call with one share record: the bytes are captured and logged, failure
// rules match the record's share name, and `work` gets the parsed view.
template <class Work>
int32_t run_record_call(library_call call, const void *record, Work work) {
  if (!record) return refuse_null_argument(call);
  const bytes captured = capture_record(record, parsed_strings_limit);
  const auto view = record_view::parse(captured);
  const auto name = view ? view->text_at(view->fields().name) : text_field{text_status::bad, {}};
  const size_t logged = std::min(captured.size(), wire::share::header_size + logged_strings_limit);
  call_scope scope(call, "", bytes(captured.begin(), captured.begin() + logged), name.text);
  if (auto injected = scope.injected()) return *injected;
  if (!view) return CIFSSIM_BAD_RECORD;
  return work(scope.state(), *view);
}

}  // namespace cifssim

namespace cifssim {

// Work of the calls the simulator does not model yet: they are logged and
// honour injected failures like the others.
inline constexpr auto not_implemented = [](auto &&...) -> int32_t { return CIFSSIM_NOT_IMPLEMENTED; };

}  // namespace cifssim
