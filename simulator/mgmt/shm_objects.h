// The POSIX shared memory objects the listings hand out, and the raw ones a
// test asks for, all named with this process's prefix.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace cifssim {

// Every object this library creates, and every raw one a test should name,
// starts with "/cifssim.<pid>.", so the tests of one process find the objects
// that nobody removed without seeing those of another.
std::string shm_prefix();
// A name this process has not used before.
std::string next_shm_name();

// What a raw result puts under an object name: an object, or, to see how a
// reader copes, a FIFO or a directory in the object directory.
enum class shm_kind { object, fifo, directory };

// Creates `name` exclusively, holding exactly `content`. CIFSSIM_SHM_FAILURE,
// and no object left, when any step fails.
int32_t publish_object(const std::string &name, std::span<const uint8_t> content);
// A raw result's entry under `name`: an object holding `content` and then cut
// or grown (sparse) to `size` when given, or a FIFO or directory.
int32_t publish_raw_entry(const std::string &name, shm_kind kind, std::span<const uint8_t> content,
                          std::optional<uint64_t> size);
// Cuts or grows an existing object to `size` bytes.
int32_t resize_object(const std::string &name, uint64_t size);

// Names (with the leading slash) of the prefixed entries present now, objects,
// FIFOs and directories alike.
std::vector<std::string> present_objects();
// Removes the entry `name`, whatever kind it is; false when nothing went.
bool remove_entry(const std::string &name);
// Removes every prefixed entry; returns how many went.
size_t remove_objects();

}  // namespace cifssim
