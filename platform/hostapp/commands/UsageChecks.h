// Checks of command-line values that say in the host's words what is wrong with a value.
#pragma once

#include <CLI/CLI.hpp>
#include <initializer_list>
#include <string>

// A whole number from `low` to `high`: "3.5" is not a whole number, "256" is out of range.
CLI::Validator WholeNumberFrom(int low, int high);

// One of `choices`, in any case; the value becomes the choice as written here.
CLI::Validator OneOf(std::initializer_list<const char*> choices);

// A finite number above 0: "0" and "-1" are out of range, "1x" is not a number.
CLI::Validator NumberAbove0();
