#include "ui/file_list_view.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>

#include "lists/position_picking.h"
#include "ui/list_scrolling.h"

namespace kestrel::ui {
namespace {

// The 0-based UTF-16 offset after the first `count` characters (code points).
qsizetype OffsetAfter(const QString& text, int count) {
    qsizetype offset = 0;
    for (int i = 0; i < count && offset < text.size(); ++i) {
        offset += text.at(offset).isHighSurrogate() && offset + 1 < text.size() ? 2 : 1;
    }
    return offset;
}

int CharacterCount(const QString& text) {
    return static_cast<int>(text.toUcs4().size());
}

}  // namespace

FileListView::FileListView(QWidget* parent) : QListView(parent) {
    // One scroll step per row, so that the scroll bar's value is the top row.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setUniformItemSizes(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The position under the pointer is followed without a button held.
    setMouseTracking(true);
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

QString FileListView::RowText(int row) const {
    return model() != nullptr ? model()->index(row, 0).data().toString() : QString();
}

int FileListView::TextLeft(int row) const {
    // The item delegate draws the text inside the focus frame's margin.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return visualRect(model()->index(row, 0)).left() + margin;
}

int FileListView::RowAt(const QPoint& point) const {
    if (model() == nullptr || model()->rowCount() == 0) {
        return -1;
    }
    const QRect top = visualRect(model()->index(TopRow(), 0));
    return lists::PointerRow(TopRow(), point.y() - top.top(), top.height(), model()->rowCount());
}

int FileListView::CharacterAt(int row, const QPoint& point) const {
    const QString text = RowText(row);
    const QFontMetrics metrics(font());
    return lists::PointerCharacter(point.x() - TextLeft(row), CharacterCount(text), [&](int count) {
        return metrics.horizontalAdvance(text.left(OffsetAfter(text, count)));
    });
}

QPoint FileListView::PointOf(int row, int position) const {
    const QString text = RowText(row);
    const QFontMetrics metrics(font());
    const int before = metrics.horizontalAdvance(text.left(OffsetAfter(text, position - 1)));
    const int through = metrics.horizontalAdvance(text.left(OffsetAfter(text, position)));
    return {TextLeft(row) + (before + through) / 2,
            visualRect(model()->index(row, 0)).center().y()};
}

void FileListView::keyPressEvent(QKeyEvent* event) {
    // The menu key and Shift+F10 open the current row's menu for keyboard users.
    if ((event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier) ||
        (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        emit MenuKeyPressed(currentIndex().row());
        return;
    }
    const int topBefore = TopRow();
    QListView::keyPressEvent(event);
    const auto key = ScrollKeyOf(event->key());
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (key && modifiers == Qt::NoModifier && model() != nullptr) {
        SetTopRow(ScrolledTopRow(*key, topBefore, model()->rowCount()));
    }
}

void FileListView::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    emit PointerAt(point);
    if (event->button() == Qt::MiddleButton) {
        emit MiddleClicked();
        event->accept();
        return;
    }
    // A right click points at a name; it leaves the selection alone.
    if (event->button() == Qt::RightButton) {
        emit RightClicked(point, event->modifiers());
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void FileListView::mouseMoveEvent(QMouseEvent* event) {
    emit PointerAt(event->position().toPoint());
    QListView::mouseMoveEvent(event);
}

void FileListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit RowDoubleClicked(event->position().toPoint());
    }
}

void FileListView::contextMenuEvent(QContextMenuEvent* event) {
    // A right click opened its menu as the button went down, and the keys
    // that ask for a menu are handled as they are pressed.
    event->accept();
}

bool FileListView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTipSource_) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = toolTipSource_(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), text, viewport());
        }
        return true;
    }
    return QListView::viewportEvent(event);
}

}  // namespace kestrel::ui
