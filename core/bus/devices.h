#pragma once
// The parts that sit on a bus, as data: a part is rows of kParts and, for a
// part with registers, rows of kRegisters. An address no row covers is
// explained plainly, never guessed at.
#include "bus/steps.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bus {

enum class Addressing {
    Registers, // the first byte written sets a register pointer
    Memory,    // the first byte written sets the memory's address counter
};

struct Part {
    std::string_view name; // names its registers' rows; in sentences for a memory
    std::uint8_t first;    // 7-bit addresses, first to last
    std::uint8_t last;
    Addressing addressing;
    unsigned memorySize = 0; // Memory: bytes; the address counter wraps there
    unsigned pageSize = 0;   // Memory: a write wraps within its page
};

enum class Format {
    Hex,     // the bytes as they are
    Celsius, // two's complement, most significant byte first, left-aligned
};

struct Register {
    std::string_view part;
    std::uint8_t pointer;
    std::string_view name;
    unsigned size; // bytes
    Format format = Format::Hex;
    unsigned bits = 0; // Celsius: the value's width
    double step = 0;   // Celsius: degrees a unit
};

inline constexpr auto kParts = std::to_array<Part>({
    {"temperature sensor", 0x48, 0x4F, Addressing::Registers},
    {"EEPROM", 0x50, 0x57, Addressing::Memory, 256, 8},
});

inline constexpr auto kRegisters = std::to_array<Register>({
    {"temperature sensor", 0, "temperature", 2, Format::Celsius, 9, 0.5},
    {"temperature sensor", 1, "configuration", 1},
    {"temperature sensor", 2, "hysteresis", 2, Format::Celsius, 9, 0.5},
    {"temperature sensor", 3, "overtemperature", 2, Format::Celsius, 9, 0.5},
});

const Part* partAt(std::uint8_t address);
const Register* registerOf(const Part& part, std::uint8_t pointer);

// A register's value in words: "25.5 °C", "-0.5 °C", "0x00". Bytes short
// of the register's size: nullopt.
std::optional<std::string> registerValue(const Register& reg,
                                         const std::vector<std::uint8_t>& bytes);

struct ByteAck {
    std::uint8_t value;
    Ack ack;
    bool operator==(const ByteAck&) const = default;
};

// One addressing and the bytes after it, up to the next start or stop.
struct Transaction {
    bool addressed = true;    // false: bytes with no start before them
    std::uint8_t address = 0; // 7-bit
    bool read = false;
    Ack addressAck = Ack::None;
    std::vector<ByteAck> bytes{};
    std::string meaning{};
    bool operator==(const Transaction&) const = default;
};

// Gathers steps into transactions and says what each means. What a write
// leaves behind (a register pointer, a memory address) is kept per address,
// so a later read is named; it is forgotten only with the explainer.
class Explainer {
  public:
    // Transactions the step ends; the last open one stays until finish().
    std::vector<Transaction> add(const Step& step);
    std::vector<Transaction> finish();

    // The words for a transaction; updates what is known of its part.
    std::string explain(const Transaction& t);

  private:
    std::optional<Transaction> m_open;
    std::map<std::uint8_t, unsigned> m_position; // pointer or address, when known
};

// Every transaction of a script answer, explained (frames of other kinds: none).
std::vector<Transaction> transactionsOf(std::string_view frame);
// The same, explained by what the explainer knows from earlier answers.
std::vector<Transaction> transactionsOf(std::string_view frame, Explainer& explainer);

// "0x48", as the sentences name addresses.
std::string hexByte(std::uint8_t value);

} // namespace bus
