#pragma once
// What each part of a queue will do, for an editor to show: the colour group
// of every command and its value, comment lines and skipped words, the words
// scriptWarnings() flags, and the words compile() would refuse. Pure: the
// queue is read as compile() reads it (see elements.h); linear in its length.
#include "compiler/language.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace compiler {

struct Mark {
    enum class Kind {
        Command, // a command or its value: coloured by group
        Comment, // a comment line, or a word skipped for its ";"
        Warning, // compiles, but likely not as meant: message says why
        Error,   // compile() would refuse it: message is its alert's
    };
    std::size_t begin = 0, end = 0; // in the queue, end one past the last character
    Kind kind = Kind::Command;
    Group group = Group::Bus; // for Command
    std::string message;      // for Warning and Error
    bool operator==(const Mark&) const = default;
};

// Colours (Command, Comment) first, then the underlines (Warning, Error). A
// word after one the compiler refuses is still coloured, and a later unknown
// word is marked too, though the compiler stops at the first.
std::vector<Mark> queueMarks(std::string_view queue);

} // namespace compiler
