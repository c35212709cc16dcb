#include "ui/file_list_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include "ui/list_scrolling.h"

namespace kestrel::ui {

FileListView::FileListView(QWidget* parent) : QListView(parent) {
    // One scroll step per row, so that the scroll bar's value is the top row.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setUniformItemSizes(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    QSizePolicy policy = sizePolicy();
    // Hiding the lists during long work must not make the window re-flow.
    policy.setRetainSizeWhenHidden(true);
    setSizePolicy(policy);
}

int FileListView::TopRow() const {
    return verticalScrollBar()->value();
}

void FileListView::SetTopRow(int row) {
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(row);
}

void FileListView::keyPressEvent(QKeyEvent* event) {
    const int topBefore = TopRow();
    QListView::keyPressEvent(event);
    const auto key = ScrollKeyOf(event->key());
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (key && modifiers == Qt::NoModifier && model() != nullptr) {
        SetTopRow(ScrolledTopRow(*key, topBefore, model()->rowCount()));
    }
}

void FileListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        emit MiddleClicked();
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

}  // namespace kestrel::ui
