#pragma once
// What happened on the bus, step by step, as the module's answers report it:
// the same events the activity view lists, with the bytes and their
// acknowledgements as values. Any text is taken; nothing here fails.
#include "compiler/language.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bus {

enum class StepKind {
    Start,
    RepeatedStart, // a start while a transfer is open
    Stop,
    Address, // the first byte written after a start
    Data,
    Mark,   // delay, speed, output, interrupt, supply, lines: as the view says it
    Report, // a frame that is not a script answer: its lines, one step
};

enum class Ack { Ack, Nack, None }; // None: the module sent no ack character

struct Step {
    StepKind kind = StepKind::Mark;
    std::uint8_t byte = 0; // Address: as on the wire (address << 1 | R); Data: the byte
    bool read = false;     // Address: the R/W bit; Data: sent by the slave
    Ack ack = Ack::None;
    compiler::Group group = compiler::Group::Bus;
    bool bad = false;   // a token the module did not know
    std::string text{}; // the view's line(s) for it, tabs kept, no final line end
    bool operator==(const Step&) const = default;

    std::uint8_t address() const { return static_cast<std::uint8_t>(byte >> 1); }
};

// Turns frames into steps. A transfer runs from a start to its stop; a start
// inside one is a repeated start, and the first byte written after either is
// the address. That state lasts across frames until a script answer begins
// afresh.
class StepReader {
  public:
    // frame: from "!" through its CR. A script answer gives one step per
    // RxToken that the view shows; any other frame with lines, one Report.
    // clearView: the frame empties the view (a script answer, a version report).
    std::vector<Step> read(std::string_view frame, bool* clearView = nullptr);
    bool transferOpen() const { return m_open; }

  private:
    bool m_open = false;
    bool m_addressDue = false;
};

} // namespace bus
