#include "sim/script.h"

#include "compiler/language.h"
#include "util/hex.h"

#include <stdexcept>

namespace sim {

namespace {

using std::chrono::nanoseconds;

constexpr std::uint8_t hexByte(std::string_view two) {
    std::uint8_t value = 0;
    for (char c : two)
        value = static_cast<std::uint8_t>(value * 16 + (c <= '9' ? c - '0' : c - 'A' + 10));
    return value;
}

// The token codes come from the language table, so module and compiler cannot
// disagree; a keyword missing there fails the build.
constexpr std::uint8_t tokenOf(std::string_view keyword) {
    for (const auto& command : compiler::kCommands)
        if (command.keyword == keyword && !command.token.empty()) return hexByte(command.token);
    throw std::logic_error("no such keyword");
}

constexpr auto kStart = tokenOf("start");
constexpr auto kWrite = tokenOf("write");
constexpr auto kReadAck = hexByte(compiler::kReadAckToken);
constexpr auto kReadNack = hexByte(compiler::kReadNackToken);
constexpr auto kStop = tokenOf("stop");
constexpr auto kDelayMicros = tokenOf("delayu");
constexpr auto kDelayMillis = tokenOf("delaym");
constexpr auto kSpeed = tokenOf("speed");
constexpr auto kReadInterrupt = tokenOf("readint");
constexpr auto kSclLow = tokenOf("scl0");
constexpr auto kSclHigh = tokenOf("scl1");
constexpr auto kSdaLow = tokenOf("sda0");
constexpr auto kSdaHigh = tokenOf("sda1");
constexpr auto kReadScl = tokenOf("scl?");
constexpr auto kReadSda = tokenOf("sda?");
constexpr std::array<std::array<std::uint8_t, 2>, 4> kOutputTokens = {{
    {tokenOf("gp0lo"), tokenOf("gp0hi")},
    {tokenOf("gp1lo"), tokenOf("gp1hi")},
    {tokenOf("gp2lo"), tokenOf("gp2hi")},
    {tokenOf("gp3lo"), tokenOf("gp3hi")},
}};
constexpr auto kFirstSupply = hexByte(compiler::kSupplyChoices.front().token);
static_assert(compiler::kSupplyChoices.size() == kSupplyMillivolts.size());

// One SCL period; a byte with its acknowledge takes nine.
constexpr nanoseconds bitPeriod(Speed speed) {
    return nanoseconds(speed == Speed::Slow ? 10'000 : 2'500);
}

std::string hex(std::uint8_t byte) {
    return util::hexpad(byte, 2);
}

class Runner {
  public:
    Runner(Speed speed, Pins& pins, Bus& bus) : m_speed(speed), m_pins(pins), m_bus(bus) {}

    // Runs the token at tokens[i]; returns how many bytes it took.
    std::size_t step(std::span<const std::uint8_t> tokens, std::size_t i);

    ScriptRun result() const {
        return {m_out, std::chrono::ceil<std::chrono::microseconds>(m_time)};
    }

  private:
    bool setOutput(std::uint8_t token);
    void transfer(char letter, std::uint8_t byte, bool ack) {
        m_out += letter + hex(byte) + (ack ? 'a' : 'n');
        m_time += 9 * bitPeriod(m_speed);
    }

    Speed m_speed;
    Pins& m_pins;
    Bus& m_bus;
    std::string m_out;
    nanoseconds m_time{0};
};

bool Runner::setOutput(std::uint8_t token) {
    for (std::size_t n = 0; n < kOutputTokens.size(); ++n)
        for (bool level : {false, true})
            if (kOutputTokens[n][level] == token) {
                m_pins.outputs[n] = level;
                return true;
            }
    return false;
}

std::size_t Runner::step(std::span<const std::uint8_t> tokens, std::size_t i) {
    const auto token = tokens[i];
    const bool hasOperand = i + 1 < tokens.size();
    const auto operand = hasOperand ? tokens[i + 1] : std::uint8_t{0};
    switch (token) {
    case kStart:
    case kStop:
        token == kStart ? m_bus.start() : m_bus.stop();
        m_out += token == kStart ? 'S' : 'P';
        m_time += bitPeriod(m_speed);
        return 1;
    case kWrite:
    case kDelayMicros:
    case kDelayMillis:
        if (!hasOperand) break;
        if (token == kWrite) {
            transfer('W', operand, m_bus.write(operand));
        } else {
            m_out += (token == kDelayMicros ? 'D' : 'd') + hex(operand);
            m_time += compiler::delayOf(hex(token), operand);
        }
        return 2;
    case kReadAck:
    case kReadNack:
        transfer('R', m_bus.read(token == kReadAck), token == kReadAck);
        return 1;
    case kSpeed:
        m_out += m_speed == Speed::Slow ? "s0" : "s1";
        return 1;
    case kSclLow:
    case kSclHigh:
        m_pins.sclLow = token == kSclLow;
        m_out += hex(token);
        return 1;
    case kSdaLow:
    case kSdaHigh:
        m_pins.sdaLow = token == kSdaLow;
        m_out += hex(token);
        return 1;
    case kReadInterrupt:
    case kReadScl:
    case kReadSda: {
        // A pin read answers its own code, one more when the pin is high.
        const bool high = token == kReadInterrupt ? m_pins.interrupt
                          : token == kReadScl     ? !m_pins.sclLow
                                                  : !m_pins.sdaLow;
        m_out += hex(static_cast<std::uint8_t>(token + high));
        return 1;
    }
    default:
        if (token >= kFirstSupply && token < kFirstSupply + kSupplyMillivolts.size()) {
            m_pins.supply = token - kFirstSupply;
            m_out += hex(token);
            return 1;
        }
        if (setOutput(token)) {
            m_out += hex(token);
            return 1;
        }
        break;
    }
    m_out += '?' + hex(token);
    return 1;
}

} // namespace

ScriptRun runScript(std::span<const std::uint8_t> tokens, Speed speed, Pins& pins, Bus& bus) {
    Runner runner(speed, pins, bus);
    for (std::size_t i = 0; i < tokens.size();)
        i += runner.step(tokens, i);
    return runner.result();
}

} // namespace sim
