#pragma once
// Option checks whose refusals say plainly what is wanted (CLI11's own number
// checks print the range of a double, a number of 300 digits).
#include <CLI/CLI.hpp>

namespace klemora::cli {

// A whole number of at least `least`.
CLI::Validator atLeast(long long least);

// The languages of the messages: "DE" or "US", in any case.
CLI::Validator languageCode();

}  // namespace klemora::cli
