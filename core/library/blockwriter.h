#pragma once
// A command queue kept as a block of a script file: the file's new bytes,
// made so that loadScript gives back every other block as it gave it before
// and the new block compiles as the queue did. Nothing here fails; what
// cannot be written is refused with the reason.
#include <string>
#include <string_view>

namespace library {

// What becomes of a block whose name the file already has.
enum class SameName { Refuse, Replace };

struct SavedBlock {
    std::string bytes;      // the whole file as it is to be written; empty when refused
    std::string refusal;    // why nothing may be written ("it already has a block ..."), or ""
    bool nameTaken = false; // refused only because a block of the file has the name
    bool ok() const { return refusal.empty(); }
};

// True when text holds a line break of a file (CR, LF) or of the queue's
// editor (U+2028, U+2029, in UTF-8).
bool hasLineBreak(std::string_view text);

// file: the file's whole bytes ("" for a new file). name, queue: UTF-8, the
// queue as its editor holds it.
//
// The block is ";" + name, the queue's lines (cut as the compiler cuts them;
// a final line break starts no further line), then a blank line, each line
// ended in the style of the file's last line end (CR LF where it has none).
// A queue line that starts with ";" would open a block of its own: it is
// written after a blank, which keeps it a comment. A first queue line that
// is ";" + name, as Load puts a block in the queue, is the block's own
// first line and is not written twice.
//
// Appended: the old bytes stay as they are, with the line end their last
// line lacks. No blank line is put before the block, since it would join
// the block before (whose text would then grow by a line).
// With Replace, the first block of that name (its ";" line up to the next
// one) gives way to the new block, and every other byte stays.
//
// The file stays in its encoding: UTF-8, or Latin-1 where the bytes are not
// valid UTF-8 (as decodeScriptText reads them). Refused: an empty name (its
// button would have no caption to be pressed by), a name with a line break,
// text that is not valid UTF-8, a character that Latin-1 lacks for a
// Latin-1 file, and, with Refuse, a name the file already has.
SavedBlock saveBlock(std::string_view file, std::string_view name, std::string_view queue,
                     SameName same = SameName::Refuse);

} // namespace library
