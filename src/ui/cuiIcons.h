#pragma once
// The pictures of the main window's two image lists, drawn by the program itself at
// 16 x 16 pixels. The overlay's tree, menu and tool bar definitions name them by index:
//
//   tree list       0 radio, 1 folder, 2 and 3 notes, 4 to 9 banks (4/5 plain, 6/7 first
//                   bank flag, 8/9 second bank flag; the second of each pair with channels),
//                   10 warning mark, 11 error mark, 12 adjustment radio
//   tool bar list   0 new, 1 open, 2 save, 3 to 6 ports 1 to 4, 7 read from the radio,
//                   8 write to the radio, 9 clone information, 10 pen, 11 fill, 12 slider,
//                   13 flash write, 14 adjustment radio, 15 adjustment check, 16 to 19 first,
//                   previous, next and last page, 20 zoom
#include "ui/cuiImageList.h"

#include <QPixmap>

#include <span>
#include <string_view>

class cuiIcons {
public:
    static constexpr int Size = 16;

    // The icon names in list order.
    [[nodiscard]] static std::span<const std::string_view> TreeNames();
    [[nodiscard]] static std::span<const std::string_view> ToolBarNames();

    [[nodiscard]] static cuiImageList TreeImages();
    [[nodiscard]] static cuiImageList ToolBarImages();
    // One icon by name ("imgIcon_Bar_File_Open"); an empty picture for an unknown name.
    [[nodiscard]] static QPixmap Draw(std::string_view name);
};
