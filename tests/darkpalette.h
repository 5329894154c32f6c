#pragma once
// A dark colour scheme as desktops set one: light text on dark pages.
#include <QPalette>

#include <utility>

inline QPalette darkPalette() {
    QPalette dark;
    const QColor window(45, 45, 45), base(30, 30, 30), text(230, 230, 230);
    for (auto [role, colour] : {std::pair{QPalette::Window, window},
                                {QPalette::Base, base},
                                {QPalette::AlternateBase, window},
                                {QPalette::Button, window},
                                {QPalette::WindowText, text},
                                {QPalette::Text, text},
                                {QPalette::ButtonText, text},
                                {QPalette::ToolTipBase, base},
                                {QPalette::ToolTipText, text},
                                {QPalette::Highlight, QColor(42, 130, 218)},
                                {QPalette::HighlightedText, QColor(0, 0, 0)}})
        dark.setColor(role, colour);
    return dark;
}
