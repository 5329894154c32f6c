#pragma once
// The module as its serial line sees it: it answers command frames, reports
// resets and interrupt changes, and keeps its settings and stored script over
// resets. Nothing here waits or touches a device: every call returns what the
// module sends, each frame with the time the module works before it.
//
// Any text is taken. A frame for another unit address gets no answer, a frame
// that breaks the frame rules gets an "f" answer, an unknown command code a
// "?" answer; a tolk in sniffer mode answers nothing until it is reset.
#include "sim/bus.h"
#include "sim/script.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

enum class Model {
    Tamb, // master only
    Tolk, // master and slave: it can become a bus sniffer
};

struct Emission {
    std::chrono::microseconds delay{0}; // after the previous one, or after the call
    std::string text;                   // one response frame, CR included
    bool operator==(const Emission&) const = default;
};
using Emissions = std::vector<Emission>;

class Module {
  public:
    // revision: the two characters that end the version report.
    explicit Module(Model model = Model::Tamb, std::string revision = "03");

    // frame: "$" through CR. Without its CR it is taken as a frame that was
    // cut off for having no CR in time.
    Emissions handleFrame(std::string_view frame);

    // Reports the input's new level and, on the selected edge with the trigger
    // on, runs the stored script. Nothing when the level does not change.
    Emissions setInterrupt(bool high);
    // Flips the interrupt input and reports it; never runs the trigger.
    Emissions floodStep();

    // Both forget what lives in the module's RAM: the outputs, SCL, SDA and
    // supply settings, sniffer mode, the last script that ran, an open bus
    // transfer. The chips on the bus keep their contents.
    Emissions powerUp();
    Emissions watchdogReset();
    // What a client that opens the line hears: the power-up report, as from a
    // module just plugged in, but the state stays, so that the commands of
    // one session, each opening the line anew, meet one module. A module in
    // sniffer mode stays silent.
    Emissions announce() const;

    void setTemperature(double celsius) { m_bus.lm75().setTemperature(celsius); }
    bool interrupt() const { return m_pins.interrupt; }
    bool sniffing() const { return m_sniffing; }

  private:
    struct StoredScript {
        std::vector<std::uint8_t> tokens;
        Speed speed;
    };

    Emissions script(std::string_view codeField, std::string_view data);
    Emissions control(std::string_view code);
    Emission run(const StoredScript& script);
    Emissions reset(int status);

    Model m_model;
    std::string m_revision;
    Bus m_bus;
    Pins m_pins;
    bool m_sniffing = false;
    std::optional<std::vector<std::uint8_t>> m_lastRan;

    // Kept in the module's own EEPROM.
    Speed m_speed = Speed::Slow;
    bool m_trigger = false;
    bool m_risingEdge = false;
    std::optional<StoredScript> m_stored;
};

} // namespace sim
