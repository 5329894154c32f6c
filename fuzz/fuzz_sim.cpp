// The simulated module takes any bytes from the line: it never crashes, and
// whatever it sends is whole response frames of bounded length.
#include "sim/commandreader.h"
#include "sim/model.h"

#include <cstdint>
#include <cstdlib>

namespace {

// The longest answer: a script of 124 reads, each "Rhha".
constexpr std::size_t kLongestAnswer = 5 + 124 * 4 + 1;

void check(const sim::Emissions& emissions) {
    if (emissions.size() > 3) std::abort();
    for (const auto& e : emissions) {
        const auto& t = e.text;
        if (t.size() < 4 || t.size() > kLongestAnswer || t.front() != '!' || t.back() != '\r')
            std::abort();
        if (t.find('\r') != t.size() - 1 || t.find('!', 1) != std::string::npos) std::abort();
        if (e.delay.count() < 0 || e.delay > std::chrono::seconds(40)) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    sim::Module module(data[0] & 1 ? sim::Model::Tolk : sim::Model::Tamb);
    const std::size_t chunk = 1 + data[1] % 64;
    std::string_view line(reinterpret_cast<const char*>(data) + 2, size - 2);
    sim::CommandReader reader;
    // Outside events between chunks, chosen by the input itself.
    std::size_t events = 0;
    while (!line.empty()) {
        std::string_view arrival = line.substr(0, chunk);
        line.remove_prefix(arrival.size());
        while (auto frame = reader.next(arrival)) {
            if (frame->size() > sim::kMaxFrame + 1) std::abort();
            check(module.handleFrame(*frame));
        }
        switch (static_cast<unsigned char>(line.empty() ? 0 : line.front()) % 7) {
        case 0:
            check(module.setInterrupt(++events % 2 == 0));
            break;
        case 1:
            check(module.announce());
            break;
        case 2:
            if (events++ % 5 == 0) check(module.watchdogReset());
            break;
        default:
            break;
        }
    }
    return 0;
}
