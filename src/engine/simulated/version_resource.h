// The file version of a program file: dwFileVersionMS and dwFileVersionLS of the fixed
// part of its version resource, as the version installer compares them.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The version as (MS << 32) | LS; none when the bytes hold no version resource.
std::optional<uint64_t> FileVersionOf(std::string_view bytes);
// The fixed part of a version resource holding `version`, for files made by tests.
std::string FixedVersionBytes(uint64_t version);
