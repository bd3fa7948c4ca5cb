#include "layout/page_break.h"

#include "layout/section_list.h"

namespace lumo {

int TPageBreak::Paint(Canvas&, const TRect& clip, int) {
    // A break within 5 pixels of the page top would print an empty page.
    if (Root->IsPrinting && LayoutY > clip.Top + 5 && LayoutY < clip.Bottom &&
        LayoutY < Root->PageEndY)
        Root->PageEndY = LayoutY;
    return LayoutY;
}

} // namespace lumo
