#pragma once
// Places where a queue compiles but very likely does not say what its author
// meant, found by reading it as compile() does. Never changes what compile()
// makes of the queue; runs in time linear in its length.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace compiler {

struct Warning {
    std::size_t line; // from 1
    std::string text;
    // The word it is about: its first character and one past its last, in
    // the queue.
    std::size_t begin = 0, end = 0;
    bool operator==(const Warning&) const = default;
};

// In line order, for a queue as compile() takes it (lines cut at LF): a line
// that is a comment only because it starts with a blank; a value read as
// decimal that looks like hex; a value whose low 8 bits alone are sent; a hex
// value with more than two digits or a non-hex digit; a command that takes
// its parameter from a later line, or finds none.
std::vector<Warning> scriptWarnings(std::string_view queue);

struct ElementAt {
    std::size_t line; // from 1
    std::string element;
    std::size_t begin = 0, end = 0; // in the queue; both at the end for a missing one
    bool operator==(const ElementAt&) const = default;
};

// The element that compile()'s "Unidentified element" alert names, with its
// line; nothing when the queue gives no such alert.
std::optional<ElementAt> unidentifiedElement(std::string_view queue);

} // namespace compiler
