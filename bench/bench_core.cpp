// Compiler and receive-path throughput. Compare cost per character across
// sizes within one run; the line itself carries 11,520 characters a second.
#include "compiler/compiler.h"
#include "protocol/frames.h"
#include "protocol/receiver.h"

#include <benchmark/benchmark.h>

namespace {

// 17 EEPROM reads of 7 tokens and one sensor read of 5: 124 tokens.
std::string script124() {
    std::string q = ";EEPROM random reads, then the sensor\r\n";
    for (int i = 0; i < 17; ++i)
        q += "Start\r\nWrite 0xA0\r\nWrite " + std::to_string(i) + "\r\nRead ack\r\nStop\r\n";
    q += "Start\r\nWrite 0x91\r\nRead nack\r\nStop\r\n";
    return q;
}

std::string megabyteQueue() {
    const std::string line = "Start Write 0x90 Write 0 Read ack Read nack Stop DelayM 5 GP0hi\r\n";
    std::string q;
    while (q.size() + line.size() <= (1u << 20))
        q += line;
    return q;
}

std::string frameStream(std::size_t size) {
    const char* frames[] = {"!0010SW90aR1AnP\r", "!0013a\r",
                            "!00192500010\r",    "!001A08\r",
                            "!000001530003\r",   "!0010SWA0aW10aRFFaRFFnPD0Ad05\r",
                            "!00200\r",          "!0010?76s0212030\r"};
    std::string s;
    for (std::size_t i = 0; s.size() < size; ++i)
        s += frames[i % std::size(frames)];
    s.resize(size);
    return s;
}

void setRates(benchmark::State& state, std::size_t characters) {
    auto total = static_cast<double>(characters) * static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(total));
    state.counters["x_line_rate"] =
        benchmark::Counter(total / protocol::kCharactersPerSecond, benchmark::Counter::kIsRate);
}

void BM_Compile124Tokens(benchmark::State& state) {
    const std::string queue = script124();
    if (compiler::compile(queue).frame.rfind("$00107D", 0) != 0) {
        state.SkipWithError("script is not 124 tokens");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(compiler::compile(queue));
    setRates(state, queue.size());
}
BENCHMARK(BM_Compile124Tokens);

void BM_CompileMegabyte(benchmark::State& state) {
    const std::string queue = megabyteQueue();
    for (auto _ : state)
        benchmark::DoNotOptimize(compiler::compile(queue));
    setRates(state, queue.size());
}
BENCHMARK(BM_CompileMegabyte)->Unit(benchmark::kMillisecond);

void BM_Decode64(benchmark::State& state) {
    const std::string stream = frameStream(static_cast<std::size_t>(state.range(0)));
    const std::string_view all = stream;
    for (auto _ : state) {
        protocol::Receiver receiver;
        std::string view;
        for (std::size_t pos = 0; pos < all.size(); pos += 64)
            for (const auto& effect : receiver.receive(all.substr(pos, 64)))
                protocol::applyToView(view, effect);
        benchmark::DoNotOptimize(view);
    }
    setRates(state, stream.size());
}
BENCHMARK(BM_Decode64)->Arg(1 << 10)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMicrosecond);

} // namespace
