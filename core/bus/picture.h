#pragma once
// The bus as a picture: each transfer, from its start to its stop, a strip of
// boxes as a protocol analyser's decode row (S, the address with R or W, its
// A or N, each byte with its A or N, Sr, P), the other steps as marks, and
// under the strip what its transactions mean, one a line. Geometry is in pixels of a
// fixed-pitch face of kFontPixels; the window paints it and svgOf writes it.
//
// Bounded: past kMaxBoxes the oldest rows go. Any frame is taken.
#include "bus/devices.h"
#include "bus/steps.h"
#include "controls/colours.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bus {

inline constexpr double kFontPixels = 12;
inline constexpr double kCharWidth = 7.25; // of the fixed-pitch face at kFontPixels
inline constexpr double kMargin = 8;
inline constexpr double kBoxHeight = 20;
inline constexpr double kLinePitch = 26;
inline constexpr double kCaptionHeight = 17;
inline constexpr double kRowGap = 6;
inline constexpr std::size_t kMaxBoxes = 60000;

enum class BoxKind { Condition, Address, Data, Ack, Mark, Report };

struct Box {
    BoxKind kind;
    double x = 0, y = 0, width = 0;
    std::string label{};
    std::optional<controls::Rgb> colour{}; // none: the text's own
    bool alarm = false;                    // a Nack, a token the module did not know
    std::uint8_t byte = 0;
    bool read = false;
    Ack ack = Ack::None;
    int transaction = -1; // its row's meanings index, once known
    std::string detail{}; // Mark, Report: the view's lines
};

struct Row {
    double top = 0;    // grows from row to row; never reused
    double height = 0; // boxes and captions
    int lines = 1;     // of boxes
    std::vector<Box> boxes;
    std::vector<std::string> meanings;
    bool transfer = false; // a start began it
    bool closed = false;   // nothing more comes to it

    // The meanings on one line, as a screen reader reads the strip.
    std::string caption() const;
    // The top of the line of meaning i, one a line under the boxes.
    double captionY(std::size_t i) const {
        return top + lines * kLinePitch + double(i) * kCaptionHeight;
    }
};

// What a box says on hover: the byte in hex, decimal and binary, what it is,
// and what its transaction means.
std::string tipOf(const Row& row, const Box& box);

class Picture {
  public:
    // width: where strips wrap.
    explicit Picture(double width = 800);

    void addFrame(std::string_view frame);
    void clear();

    const std::deque<Row>& rows() const { return m_rows; }
    // The top of the first kept row, and below the last.
    double top() const;
    double bottom() const;
    double width() const { return m_width; }
    // Changes with every frame that changes the rows.
    std::uint64_t revision() const { return m_revision; }
    std::size_t boxes() const { return m_boxes; }
    // Rows are numbered from the first ever; the first kept is this one.
    std::size_t firstRowNumber() const { return m_dropped; }

  private:
    void place(const Step& step);
    void addBox(Box box, double extra = 0);
    Row& row(bool transfer);
    void closeRow();
    void record(std::vector<Transaction> ended);
    void fitCaption();

    double m_width;
    StepReader m_reader;
    Explainer m_explainer;
    std::deque<Row> m_rows;
    double m_x = kMargin; // where the next box goes in the last row's last line
    double m_nextTop = 0;
    std::size_t m_boxes = 0;
    std::uint64_t m_revision = 0;
    std::vector<std::pair<std::size_t, std::size_t>> m_pending; // boxes of the open transaction
    std::size_t m_dropped = 0;                                  // rows dropped from the front, ever
};

struct PageSize {
    double width, height;
};
// The page rows [first, last) take with their margins (last is clamped).
PageSize pageSize(const Picture& picture, std::size_t first, std::size_t last);

// The rows as an SVG document on a white page, each box a group with its tip
// as a title. first, last: row indices, last excluded.
std::string svgOf(const Picture& picture, std::size_t first, std::size_t last);

} // namespace bus
