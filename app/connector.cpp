#include "app/connector.h"

namespace app {

using namespace dialogs;

// One element a row.
// clang-format off
const Rows& connectorRows() {
    static const Rows rows = {
        // The outline, a trapezoid wider at the top: from (left, top), by (width, height).
        {.name = "Line2(0)", .kind = Kind::Line, .left = 1620, .top = 1920, .width = 4860 - 1620, .height = 0, .borderWidth = 2},
        {.name = "Line2(1)", .kind = Kind::Line, .left = 2040, .top = 3000, .width = 4440 - 2040, .height = 0, .borderWidth = 2},
        {.name = "Line2(2)", .kind = Kind::Line, .left = 1620, .top = 1920, .width = 2040 - 1620, .height = 3000 - 1920, .borderWidth = 2},
        {.name = "Line2(3)", .kind = Kind::Line, .left = 4860, .top = 1920, .width = 4440 - 4860, .height = 3000 - 1920, .borderWidth = 2},
        // Pins 1 to 5 in the upper row, 6 to 9 in the lower.
        {.name = "Shape1(3)", .kind = Kind::Shape, .left = 1860, .top = 2040, .width = 375, .height = 375, .flags = Round, .borderWidth = 2},
        {.name = "Shape1(1)", .kind = Kind::Shape, .left = 2460, .top = 2040, .width = 375, .height = 375, .flags = Round, .borderWidth = 2},
        {.name = "Shape1(0)", .kind = Kind::Shape, .left = 3060, .top = 2040, .width = 375, .height = 375, .flags = Round, .borderWidth = 2},
        {.name = "Shape1(2)", .kind = Kind::Shape, .left = 3660, .top = 2040, .width = 375, .height = 375, .flags = Round, .borderWidth = 2},
        {.name = "Shape1(4)", .kind = Kind::Shape, .left = 4260, .top = 2040, .width = 375, .height = 375, .flags = Round, .borderWidth = 2},
        {.name = "Shape1(5)", .kind = Kind::Shape, .left = 2160, .top = 2520, .width = 375, .height = 375, .flags = Round, .borderWidth = 2},
        {.name = "Shape1(6)", .kind = Kind::Shape, .left = 2760, .top = 2520, .width = 375, .height = 375, .flags = Round, .borderWidth = 2},
        {.name = "Shape1(7)", .kind = Kind::Shape, .left = 3360, .top = 2520, .width = 375, .height = 375, .flags = Round, .borderWidth = 2},
        {.name = "Shape1(8)", .kind = Kind::Shape, .left = 3960, .top = 2520, .width = 375, .height = 375, .flags = Round, .borderWidth = 2},
        {.name = "Label4(0)", .text = "1", .left = 1980, .top = 2075, .width = 255, .height = 255, .font = Font::Large},
        {.name = "Label4(1)", .text = "2", .left = 2580, .top = 2075, .width = 255, .height = 255, .font = Font::Large},
        {.name = "Label4(2)", .text = "3", .left = 3180, .top = 2075, .width = 255, .height = 255, .font = Font::Large},
        {.name = "Label4(3)", .text = "4", .left = 3780, .top = 2075, .width = 255, .height = 255, .font = Font::Large},
        {.name = "Label4(4)", .text = "5", .left = 4380, .top = 2075, .width = 255, .height = 255, .font = Font::Large},
        {.name = "Label4(5)", .text = "6", .left = 2280, .top = 2555, .width = 255, .height = 255, .font = Font::Large},
        {.name = "Label4(6)", .text = "7", .left = 2880, .top = 2550, .width = 255, .height = 255, .font = Font::Large},
        {.name = "Label4(7)", .text = "8", .left = 3480, .top = 2550, .width = 255, .height = 255, .font = Font::Large},
        {.name = "Label4(8)", .text = "9", .left = 4080, .top = 2550, .width = 255, .height = 255, .font = Font::Large},
        {.name = "Label5(0)", .text = "GND", .left = 1800, .top = 1620, .width = 555, .height = 255, .font = Font::Heading},
        {.name = "Label5(1)", .text = "GP1", .left = 2400, .top = 1620, .width = 555, .height = 255, .font = Font::Heading},
        {.name = "Label5(2)", .text = "GP3", .left = 3000, .top = 1620, .width = 555, .height = 255, .font = Font::Heading},
        {.name = "Label5(3)", .text = "SDA", .left = 3600, .top = 1620, .width = 555, .height = 255, .font = Font::Heading},
        {.name = "Label5(4)", .text = "+5V", .left = 4200, .top = 1620, .width = 555, .height = 255, .font = Font::Heading, .flags = Centred},
        {.name = "Label5(5)", .text = "GP0", .left = 2100, .top = 3060, .width = 555, .height = 255, .font = Font::Heading},
        {.name = "Label5(6)", .text = "GP2", .left = 2700, .top = 3060, .width = 495, .height = 255, .font = Font::Heading},
        {.name = "Label5(7)", .text = "INT", .left = 3300, .top = 3060, .width = 495, .height = 255, .font = Font::Heading, .flags = Centred},
        {.name = "Label5(8)", .text = "SCL", .left = 3900, .top = 3060, .width = 555, .height = 255, .font = Font::Heading},
    };
    return rows;
}
// clang-format on

} // namespace app
