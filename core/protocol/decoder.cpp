#include "protocol/decoder.h"

#include "protocol/frames.h"
#include "protocol/outcome.h"
#include "util/ascii.h"
#include "util/constants.h"
#include "util/hex.h"

#include <functional>

namespace protocol {

namespace {

using util::asciiLower;
using util::CRLF;
using util::TAB;

// Frame positions count from 1 at the "!", as the module's documentation does.
std::string_view chars(std::string_view frame, std::size_t from, std::size_t to) {
    if (from > frame.size() || to < from) return {};
    return frame.substr(from - 1, to - from + 1);
}

// '\0' past the end: compares unequal to every character the decoder looks for.
char at(std::string_view frame, std::size_t k) {
    return k >= 1 && k <= frame.size() ? frame[k - 1] : '\0';
}

// A flag that is not a digit reads as 0.
bool flagIsZero(char c) {
    return c < '1' || c > '9';
}

class Lines {
  public:
    template <class... Parts> Lines& line(const Parts&... parts) {
        (m_text.append(parts), ...);
        m_text += CRLF;
        return *this;
    }
    template <class... Parts> Lines& text(const Parts&... parts) {
        (m_text.append(parts), ...);
        return *this;
    }
    std::string take() { return std::move(m_text); }

  private:
    std::string m_text;
};

std::string versionReport(std::string_view f) {
    Lines out;
    out.line("[Firmware Version:]");
    out.line("[", chars(f, 6, 9), ".", chars(f, 10, 11), ".", chars(f, 12, 13), "       ]");
    if (chars(f, 6, 9) == kHardwareFamily) {
        if (chars(f, 10, 11) == kModelMasterOnly)
            out.line("[Tamb master only ]").line("");
        else if (chars(f, 10, 11) == kModelMasterSlave)
            out.line("[Tolk master+slave]").line("");
    } else {
        out.line("[Unrecognized H/W ]").line("");
    }
    return out.take();
}

std::string configurationReport(std::string_view f) {
    Lines out;
    out.line("[VSlave:  ", chars(f, 6, 6), ".", chars(f, 7, 9), "v  ]");
    out.line("[Speed:   ", flagIsZero(at(f, 10)) ? "Slow" : "Fast", "    ]");
    out.line("[OnEdge:  ", flagIsZero(at(f, 11)) ? "Off" : "On ", "     ]");
    out.line("[Edge:    ", flagIsZero(at(f, 12)) ? "Hi-to-Lo" : "Lo-to-Hi", "]");
    return out.take();
}

std::string resetReport(std::string_view f) {
    bool powerUp = (util::hextolong(chars(f, 6, 7)) & kPowerUpBit) != 0;
    return Lines().line("[Reset:   ", powerUp ? "Power up" : "WDT Rset", "]").line("").take();
}

// Lines that depend on the character after the token letter.
std::string_view levelLine(char t, char x) {
    static constexpr std::string_view outputs[4][2] = {{"GP0\tLow", "GP0\tHigh"},
                                                       {"GP1\tLow", "GP1\tHigh"},
                                                       {"GP2\tLow", "GP2\tHigh"},
                                                       {"GP3\tLow", "GP3\tHigh"}};
    static constexpr std::string_view supplies[6] = {"SetV\tOpen", "SetV\t2.5", "SetV\t3.0",
                                                     "SetV\t3.5",  "SetV\t4.0", "SetV\t5.0"};
    static constexpr std::string_view drives[4] = {"SCL0", "SCL1", "SDA0", "SDA1"};
    static constexpr std::string_view reads[4] = {"SCL:\t0", "SCL:\t1", "SDA:\t0", "SDA:\t1"};
    int v = x - '0';
    switch (t) {
    case '2':
    case '3':
    case '4':
    case '5':
        return v == 0 || v == 1 ? outputs[t - '2'][v] : "";
    case '6':
        return v == 0 ? "Int\tLow" : v == 1 ? "Int\tHigh" : "";
    case '7':
        return v >= 0 && v <= 5 ? supplies[v] : "";
    case '8':
        return v >= 0 && v <= 3 ? drives[v] : "";
    case '9':
        return v >= 0 && v <= 3 ? reads[v] : "";
    default:
        return "";
    }
}

// One-line answers to control commands; only Store and Replay can say "empty".
struct AnswerLine {
    std::string_view commandCode;
    std::string_view done;
    std::string_view empty;
};

constexpr AnswerLine kAnswerLines[] = {
    {code::Store, "[Store last success!]", "[No command to store]"},
    {code::Replay, "[Replay Successful  ]", "[Replay Memory Empty]"},
    {code::EdgeHighToLow, "[Edge = High-to-Low ]", "[Edge = High-to-Low ]"},
    {code::EdgeLowToHigh, "[Edge = Low-to-High ]", "[Edge = Low-to-High ]"},
    {code::TriggerOn, "[Edge trigger = On  ]", "[Edge trigger = On  ]"},
    {code::TriggerOff, "[Edge trigger = Off ]", "[Edge trigger = Off ]"},
    {code::SpeedSlow, "[Speed set Slow=100k]", "[Speed set Slow=100k]"},
    {code::SpeedFast, "[Speed set Fast=400k]", "[Speed set Fast=400k]"},
};

} // namespace

std::size_t rxTokenWidth(char letter, char next) {
    switch (letter) {
    case '?':
    case 'D':
    case 'd':
        return 3;
    case 's':
        // "s0"/"s1" is the module's speed answer; any other "s" a start.
        return next == '0' || next == '1' ? 2 : 1;
    case 'W':
    case 'w':
    case 'R':
    case 'r':
        return 4;
    default:
        return letter >= '2' && letter <= '9' ? 2 : 1;
    }
}

void forEachRxToken(std::string_view f, const std::function<void(std::string_view)>& onToken) {
    const std::size_t n = f.empty() ? 0 : f.size() - 1; // the CR is not a token
    std::size_t i = 6;
    while (i <= n) {
        const std::size_t width = rxTokenWidth(at(f, i), at(f, i + 1));
        onToken(f.substr(i - 1, width)); // may reach into the CR or past it
        i += width;
    }
}

std::string tokenText(std::string_view token) {
    Lines out;
    const char t = at(token, 1);
    const char x = at(token, 2);
    const auto hh = chars(token, 2, 3);
    switch (t) {
    case '?':
        out.line("BadToken:", TAB, "0x", hh);
        break;
    case 's':
        if (token.size() == 2)
            out.line(x == '0' ? "[Speed=SLOW]" : "[Speed=FAST]");
        else
            out.line("START");
        break;
    case '0':
        out.line("[Speed=SLOW]");
        break;
    case '1':
        out.line("[Speed=FAST]");
        break;
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
    case '9': {
        auto line = levelLine(t, x);
        if (!line.empty()) out.line(line);
        break;
    }
    case 'S':
        out.line("START");
        break;
    case 'P':
    case 'p':
        out.line("STOP");
        break;
    case 'W':
    case 'w':
    case 'R':
    case 'r': {
        out.text(asciiLower(t) == 'w' ? "WRITE" : "READ", TAB, "0x", hh, TAB);
        const char k = asciiLower(at(token, 4));
        if (k == 'a')
            out.line("Ack");
        else if (k == 'n')
            out.line("Nack");
        break;
    }
    case 'D':
        out.line("Delay", TAB, "0x", hh, " uS");
        break;
    case 'd':
        out.line("Delay", TAB, "0x", hh, " mS");
        break;
    default:
        break;
    }
    return out.take();
}

std::string decodeTokens(std::string_view f) {
    std::string text;
    forEachRxToken(f, [&](std::string_view token) { text += tokenText(token); });
    return text;
}

FrameEffect decodeFrame(std::string_view f) {
    FrameEffect effect;
    effect.rxbufferbox = boxText(f);

    // Hex from the module is read in either case, the code included.
    const std::string c = commandCodeOf(f);
    const char c6 = asciiLower(at(f, 6));

    if (c == code::Version) {
        effect.clearView = true;
        effect.append = versionReport(f);
    } else if (c == code::Script) {
        effect.clearView = true;
        effect.append = decodeTokens(f);
    } else if (c == code::Configuration) {
        effect.append = configurationReport(f);
    } else if (c == code::Reset) {
        effect.append = resetReport(f);
    } else if (c == code::SlaveAlias || c == code::Slave) {
        effect.append = c6 == exec::Ack ? "[Slave mode enabled...]\r\n[...Power cycle=Cancel]\r\n"
                                        : "[Slave not supported!]\r\n";
    } else if (c == code::DataAlias || c == code::Data) {
        effect.append = Lines().line(chars(f, 6, 7)).take();
    } else if (c == code::Interrupt) {
        // The module puts the level right after the code.
        effect.append = Lines().line("[Int]", TAB, chars(f, 6, 6)).take();
    } else {
        for (const auto& answer : kAnswerLines)
            if (c == answer.commandCode)
                effect.append = Lines().line(c6 == exec::Empty ? answer.empty : answer.done).take();
    }
    return effect;
}

void applyToView(std::string& view, const FrameEffect& effect) {
    if (effect.clearView) view.clear();
    view += effect.append;
}

} // namespace protocol
