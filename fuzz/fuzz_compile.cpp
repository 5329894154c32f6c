// Any queue compiles to a well-formed frame or to an alert, never a crash.
#include "compiler/compiler.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool isUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

void check(const compiler::CompileResult& result) {
    if (!result.ok()) {
        if (result.error->title != compiler::kErrorTitle || !result.frame.empty()) std::abort();
        return;
    }
    const std::string& f = result.frame;
    if (f.size() < 8 || f.compare(0, 5, "$0010") != 0 || f.back() != '\r') std::abort();
    if ((f.size() - 8) % 2 != 0) std::abort();
    for (std::size_t i = 5; i + 1 < f.size(); ++i)
        if (!isUpperHex(f[i])) std::abort();
    const std::size_t tokens = (f.size() - 8) / 2;
    if (tokens > compiler::kMaxTokens) std::abort();
    if (std::stoul(f.substr(5, 2), nullptr, 16) != tokens + 1) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check(compiler::compile(text));
    check(compiler::compile(compiler::typedQueue(text)));
    return 0;
}
