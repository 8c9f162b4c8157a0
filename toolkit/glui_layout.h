// The toolkit's sizes and colours, in one place: packing (glui_window.cpp),
// sizing (glui_controls.cpp) and drawing (glui_draw.cpp) agree through them.
#pragma once

namespace glui_layout {

// Packing.
constexpr int kOuterOffset = 6;        // from the window's edges to its controls
constexpr int kItemSpacing = 3;        // between stacked items
constexpr int kPanelExtra = 3;         // more above and below every panel
constexpr int kPanelTitleTop = 14;     // a titled frame's top to its first child
constexpr int kPanelFrameTop = 6;      // an untitled frame's top to its first child
constexpr int kPanelBottom = 6;        // a frame's last child to its bottom
constexpr int kPanelSide = 6;          // a frame's sides to its children
constexpr int kPanelTitleX = 7;        // the title's left end inside the panel
constexpr int kPanelTitleBaseline = 8;
constexpr int kPanelFrameOffset = 4;   // a titled frame starts this far down
constexpr int kColumnGap = 12;         // between the stacks of two columns

// Sizes.
constexpr int kTextRowHeight = 13;     // static text, check box and radio rows
constexpr int kMinTextWidth = 100;
constexpr int kSeparatorHeight = 8;
constexpr int kButtonHeight = 20;
constexpr int kMinButtonWidth = 100;
constexpr int kButtonTextPad = 10;
constexpr int kLabelX = 18;            // check box and radio labels start here
constexpr int kLabelBaseline = 10;
constexpr int kStaticTextBaseline = 9;
constexpr int kButtonBaseline = 13;

// Colours (0-255).
constexpr int kBackground = 200;
constexpr int kShadow = 128;           // grey 0.5
constexpr int kLightShadow = 212;
constexpr int kDisabledText = 102;     // grey 0.4
constexpr int kDisabledInterior = 192; // disabled check boxes and radio buttons

}  // namespace glui_layout
