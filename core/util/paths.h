#pragma once
// File-name helpers. The separator is a parameter so that the Windows form
// ('\\') and the POSIX form ('/') behave alike; the program passes the native one.
#include <string>
#include <string_view>

namespace util {

#ifdef _WIN32
inline constexpr char kNativeSeparator = '\\';
#else
inline constexpr char kNativeSeparator = '/';
#endif

// Part codes: 0 name.ext, 1 name, 2 ext, 3 folder, 4 folder+sep+name.ext,
// 5 folder+sep+name; any other code gives "". Trims blanks off `path` in place
// (a path of blanks only stays as it is). Characters that cannot stand in a
// file name ("/" on Windows, "*?<>|") are ignored; from a second dot in the
// file name on, the name is cut.
std::string pathpart(std::string& path, int code, char separator = kNativeSeparator);

// True when something exists at path (file or folder). "*" and "?" in the last
// component match any entry of its folder. Errors read as false.
bool pathexists(std::string_view path);

// True when a file matches `path` (wildcards as in pathexists) that is not a
// folder and not hidden. Errors read as false.
bool fileexists(std::string_view path);

// True for a path that names its place from a root: "/x", and with the
// separator '\\' also "\\x", "c:\\x" and "c:/x".
bool isAbsolutePath(std::string_view path, char separator = kNativeSeparator);

// The path a file choice gives: "" for no name; folder + name, with one
// separator (none added after a root such as "/" or "c:\\"). One name that
// is an absolute path stands as it is; one with folders of its own is taken
// below folder. Line breaks after the last name count for nothing. Names
// taken from a list, one per line (CR LF), come back on one line, each line
// break as " ,": "b.txt ,c.txt".
std::string chosenPath(std::string_view folder, std::string_view names,
                       char separator = kNativeSeparator);

// A file name as a message shows it. The name is bytes, as the system has it;
// a byte that is not part of valid UTF-8, or of a control character, shows as
// \xHH (two lowercase hex digits), so the message stays readable text and
// names what was given: "caf\xe9.txt".
std::string printableName(std::string_view name);

} // namespace util
