#pragma once
// One grid row of a sheet: the line of the "_Cells" record that defines it, and whether its
// cells take part in block selection.
struct clsSheeRowAtr {
    int line = 0;
    bool selectOn = true;
};
