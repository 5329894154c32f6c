#pragma once
// Delimited-text fields. Never fails: a field that is not there is "".
#include <string>
#include <string_view>

namespace util {

// index 0: the number of fields as decimal text; index >= 1: that field.
// An empty or single-space delimiter splits on runs of spaces, ignoring leading
// ones. A trailing delimiter opens no field. Indexes above 8000 give "".
std::string getfield(std::string_view text, long index, std::string_view delimiter);

} // namespace util
