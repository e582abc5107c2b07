#include "values/advanced_filters.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/error_codes.h"
#include "request/failure.h"
#include "base/log.h"
#include "request/napi_call.h"
#include "wire/filter_block.h"
#include "values/keys.h"
#include "values/readers.h"

namespace cifs {

namespace {

// Patterns are read into a buffer of this size at most.
constexpr size_t pattern_buffer_size = search_name_pattern_bound;

class filters_reader {
 public:
  filters_reader(napi_env env, request_instance *instance, const filter_form &form, filter_sink &sink)
      : env_(env), instance_(instance), form_(form), sink_(sink) {}

  uint32_t read(napi_value request);

 private:
  bool block() const { return form_.encoding == filter_encoding::block; }

  uint32_t refused(filter_refusal refusal) const;

  uint32_t read_match_type(napi_value info, uint32_t *code, char (&text)[match_type_bound]) const;
  uint32_t read_filter(napi_value filters, uint32_t index);
  // Copies the string `value` into `buffer` (cut to `size` - 1 bytes); a value
  // that is not a string, or holds a NUL within those bytes, fails as `key`'s conversion.
  uint32_t copy_text(napi_value value, const char *key, char *buffer, size_t size, size_t *length) const;

  napi_env env_;
  request_instance *instance_;
  const filter_form &form_;
  filter_sink &sink_;
  uint64_t patterns_read_ = 0;  // of every filter so far
};

uint32_t filters_reader::refused(filter_refusal refusal) const {
  if (refusal == filter_refusal::out_of_memory)
    return RECORD_AND_LOG_AS(form_.parser, instance_, status_out_of_memory, id_memory_allocation_failure, nullptr,
                             ("Failed to allocate memory to store patterns received"), "%s, error: %s",
                             instance_->error_message, std::strerror(ENOMEM));
  return RECORD_AND_LOG_AS(form_.parser, instance_, status_does_not_fit, id_memory_allocation_failure, nullptr,
                           ("%s", form_.does_not_fit), "%s, error: %d", instance_->error_message,
                           static_cast<int>(status_does_not_fit));
}

uint32_t filters_reader::copy_text(napi_value value, const char *key, char *buffer, size_t size,
                                   size_t *length) const {
  *length = 0;
  if (napi_get_value_string_utf8(env_, value, buffer, size, length) == napi_ok) {
    // A text with a NUL inside is refused as an unconvertible one: cut there,
    // "status\0whatever" would filter on "status", and a pattern on a shorter text.
    if (strnlen(buffer, *length) == *length) return 0;
  }
  clear_pending_exception(env_);
  return RECORD_AND_LOG_AS(form_.element_reader, instance_, status_string_convert_failed, id_failed_to_extract_convert,
                           key, ("Failed to convert/extract %s values", key), "'%s' value could not be converted %ld.",
                           key, static_cast<long>(*length));
}

uint32_t filters_reader::read_match_type(napi_value info, uint32_t *code, char (&text)[match_type_bound]) const {
  const char *key = ckey(k_match_type);
  if (uint32_t status = get_named_property_to_string(env_, info, key, text, sizeof text)) {
    if (block())
      return RECORD_AND_LOG_AS(form_.parser, instance_, status_extract_failed, id_failed_to_extract_convert, key,
                               ("Failed to extract/convert '%s'", key), "%s, error: %d", instance_->error_message,
                               static_cast<int>(status));
    return RECORD_AND_LOG_AS(form_.parser, instance_, status, id_failed_to_extract_convert, key,
                             ("Failed to extract/convert %s", key), "%s", instance_->error_message);
  }
  const auto found = code_of(match_type_rows, text);
  if (!found) {
    if (block())
      return RECORD_AND_LOG_AS(form_.parser, instance_, status_invalid_match_type, id_invalid_match_type, nullptr,
                               ("Invalid advance filter match type entered"), "%s: %s, error: %d",
                               instance_->error_message, text, static_cast<int>(status_invalid_match_type));
    return RECORD_AND_LOG_AS(form_.parser, instance_, status_invalid_match_type, id_invalid_match_type, nullptr,
                             ("Invalid advance filter match type entered"), "%s", instance_->error_message);
  }
  *code = *found;
  return 0;
}

uint32_t filters_reader::read_filter(napi_value filters, uint32_t index) {
  const char *filters_key = ckey(k_filters), *filter_by_key = ckey(k_filter_by), *patterns_key = ckey(k_patterns);
  const char *func = form_.element_reader;
  napi_value element, value, patterns;
  napi_status status = napi_get_element(env_, filters, index, &element);
  if (status != napi_ok)
    return RECORD_AND_LOG_AS(form_.parser, instance_, status_element_failed, id_filters_element, nullptr,
                             ("Failed to get an element from %s list", filters_key), "%s, error: %d",
                             instance_->error_message, static_cast<int>(status));

  if ((status = napi_get_named_property(env_, element, filter_by_key, &value)) != napi_ok)
    return RECORD_AND_LOG_AS(func, instance_, status_element_failed, id_failed_to_extract_convert, filter_by_key,
                             ("Failed to convert/extract %s values", filter_by_key), "%s, error: %d",
                             instance_->error_message, static_cast<int>(status));
  char filter_by[filter_by_bound] = {};
  size_t length;
  if (uint32_t st = copy_text(value, filter_by_key, filter_by, sizeof filter_by, &length)) return st;

  if ((status = napi_get_named_property(env_, element, patterns_key, &patterns)) != napi_ok)
    return RECORD_AND_LOG_AS(func, instance_, status_extract_failed, id_failed_to_extract_convert, patterns_key,
                             ("Failed to extract/convert '%s'", patterns_key), "%s, error: %d",
                             instance_->error_message, static_cast<int>(status));
  uint32_t count = 0;
  if ((status = napi_get_array_length(env_, patterns, &count)) != napi_ok)
    return RECORD_AND_LOG_AS(func, instance_, status_array_length_failed, id_patterns_length, nullptr,
                             ("Failed to get array length of %s list", patterns_key), "%s, error: %d",
                             instance_->error_message, static_cast<int>(status));

  const auto row = std::find_if(form_.filter_by.begin(), form_.filter_by.end(),
                                [&](const filter_by_row &r) { return r.text == filter_by; });
  if (row == form_.filter_by.end()) {
    if (block())
      return RECORD_AND_LOG_AS(func, instance_, status_invalid_value, id_invalid_filter_type, nullptr,
                               ("Received invalid/unsupported filter type: %s", filter_by), "%s, error: %d",
                               instance_->error_message, static_cast<int>(status_invalid_value));
    return RECORD_AND_LOG_AS(func, instance_, status_invalid_value, id_invalid_filter_type, nullptr,
                             ("Received invalid/unsupported filter type"), "%s, error: %s", instance_->error_message,
                             filter_by);
  }
  if (count > form_.max_patterns)
    return RECORD_AND_LOG_AS(
        func, instance_, status_does_not_fit, id_patterns_length, nullptr,
        ("Too many patterns in advanced filter %s: %u, at most %zu", filter_by, count, form_.max_patterns),
        "%s, error: %d", instance_->error_message, static_cast<int>(status_does_not_fit));
  // Every pattern is read, though a repeated filter keeps only its last set:
  // the work of one request is bounded before any of this filter's is done.
  patterns_read_ += count;
  if (patterns_read_ > form_.max_patterns_in_all)
    return RECORD_AND_LOG_AS(func, instance_, status_does_not_fit, id_filters_length, nullptr,
                             ("Advanced filters hold more than %zu patterns in all", form_.max_patterns_in_all),
                             "%s, error: %d", instance_->error_message, static_cast<int>(status_does_not_fit));
  if (filter_refusal refusal = sink_.filter(row->code, filter_by, count); refusal != filter_refusal::none)
    return refused(refusal);

  char pattern[pattern_buffer_size];
  const size_t bound = std::min(row->pattern_bound, sizeof pattern);
  for (uint32_t j = 0; j < count; ++j) {
    if ((status = napi_get_element(env_, patterns, j, &value)) != napi_ok)
      return RECORD_AND_LOG_AS(func, instance_, status_element_failed, id_patterns_element, nullptr,
                               ("Failed to get an element from %s list", patterns_key), "%s, error: %d",
                               instance_->error_message, static_cast<int>(status));
    if (uint32_t st = copy_text(value, patterns_key, pattern, bound, &length)) return st;
    if (filter_refusal refusal = sink_.pattern({pattern, length}); refusal != filter_refusal::none)
      return refused(refusal);
  }
  if (count < row->min_patterns)
    return RECORD_AND_LOG_AS(
        func, instance_, status_pattern_count_short, id_invalid_pattern_count, filter_by,
        ("Patterns count for advance filter %s is less than expected. Expected pattern count is %u.", filter_by,
         row->min_patterns),
        "%s", instance_->error_message);
  // The last bound of an odd count would have no partner to be compared with.
  if (row->in_pairs && count % 2 != 0)
    return RECORD_AND_LOG_AS(
        func, instance_, status_pattern_count_short, id_invalid_pattern_count, filter_by,
        ("Patterns count for advance filter %s is odd. Patterns are pairs of lower and upper bound.", filter_by), "%s",
        instance_->error_message);
  return 0;
}

uint32_t filters_reader::read(napi_value request) {
  const char *info_key = ckey(k_advanced_filters_info), *filters_key = ckey(k_filters);
  napi_value info, filters;
  napi_status status = napi_get_named_property(env_, request, info_key, &info);
  if (status != napi_ok)
    return RECORD_AND_LOG_AS(form_.parser, instance_, status_extract_failed, id_failed_to_extract_convert, info_key,
                             ("Failed to extract/convert '%s'", info_key), "%s, error: %d", instance_->error_message,
                             static_cast<int>(status));
  if (!block() && !validate_napi_key_type(env_, info, napi_object))
    return RECORD_AND_LOG_AS(form_.parser, instance_, status_typeof_failed, id_napi_type_check_failed, info_key,
                             ("Napi type check failed for %s", info_key), "%s", instance_->error_message);

  uint32_t match_type = 0;
  char match_text[match_type_bound] = {};
  if (uint32_t st = read_match_type(info, &match_type, match_text)) return st;

  if ((status = napi_get_named_property(env_, info, filters_key, &filters)) != napi_ok)
    return RECORD_AND_LOG_AS(form_.parser, instance_, status_extract_failed, id_failed_to_extract_convert, filters_key,
                             ("Failed to extract/convert '%s'", filters_key), "%s, error: %d", instance_->error_message,
                             static_cast<int>(status));
  uint32_t count = 0;
  if ((status = napi_get_array_length(env_, filters, &count)) != napi_ok)
    return RECORD_AND_LOG_AS(form_.parser, instance_, status_array_length_failed, id_filters_length, nullptr,
                             ("Failed to get array length of %s list", filters_key), "%s, error: %d",
                             instance_->error_message, static_cast<int>(status));
  if (count > form_.max_filters)
    return RECORD_AND_LOG_AS(form_.parser, instance_, status_does_not_fit, id_filters_length, nullptr,
                             ("Too many advanced filters: %u, at most %zu", count, form_.max_filters), "%s, error: %d",
                             instance_->error_message, static_cast<int>(status_does_not_fit));

  if (filter_refusal refusal = sink_.begin(match_type, match_text); refusal != filter_refusal::none)
    return refused(refusal);
  for (uint32_t i = 0; i < count; ++i)
    if (uint32_t st = read_filter(filters, i)) return st;
  if (filter_refusal refusal = sink_.finish(); refusal != filter_refusal::none) return refused(refusal);
  return 0;
}

}  // namespace

uint32_t read_advanced_filters(napi_env env, napi_value request, request_instance *instance,
                               const filter_form &form, filter_sink &sink) {
  const uint32_t status = filters_reader(env, instance, form, sink).read(request);
  if (status != 0) clear_pending_exception(env);  // a failed property access must not block the answer
  return status;
}

}  // namespace cifs
