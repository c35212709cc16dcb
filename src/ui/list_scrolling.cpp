#include "ui/list_scrolling.h"

#include <Qt>
#include <algorithm>

namespace kestrel::ui {

int ScrolledTopRow(ScrollKey key, int topRow, int rowCount) {
    const int lastRow = std::max(rowCount - 1, 0);
    switch (key) {
        case ScrollKey::Home:
            return 0;
        case ScrollKey::End:
            return lastRow;
        case ScrollKey::PageUp:
            return topRow < kScrollPageRows ? 0 : topRow - kScrollPageRows;
        case ScrollKey::PageDown:
            return topRow < rowCount - kScrollPageRows ? topRow + kScrollPageRows : lastRow;
        case ScrollKey::Up:
            return topRow >= 1 ? topRow - 1 : topRow;
        case ScrollKey::Down:
            return topRow < lastRow ? topRow + 1 : topRow;
    }
    return topRow;
}

std::optional<ScrollKey> ScrollKeyOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Home:
            return ScrollKey::Home;
        case Qt::Key_End:
            return ScrollKey::End;
        case Qt::Key_PageUp:
            return ScrollKey::PageUp;
        case Qt::Key_PageDown:
            return ScrollKey::PageDown;
        case Qt::Key_Up:
            return ScrollKey::Up;
        case Qt::Key_Down:
            return ScrollKey::Down;
        default:
            return std::nullopt;
    }
}

}  // namespace kestrel::ui
