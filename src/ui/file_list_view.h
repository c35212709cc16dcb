#pragma once

#include <QListView>
#include <functional>

// A list of names with a top row that the program sets: the scrolling keys
// move it by the fixed rules, and the two lists keep theirs in step. It also
// tells which row and which character of it lie under a point, measured with
// the list's own font and row geometry, and reports pointer moves, right
// clicks and double clicks with that point.
namespace kestrel::ui {

class FileListView : public QListView {
    Q_OBJECT
  public:
    explicit FileListView(QWidget* parent = nullptr);

    int TopRow() const;
    void SetTopRow(int row);

    /// The row under a point of the viewport, or -1 below the last row.
    int RowAt(const QPoint& point) const;
    /// The 1-based character of `row`'s text under a point of the viewport,
    /// one past the text when the point is right of it.
    int CharacterAt(int row, const QPoint& point) const;
    /// The point of the viewport over character `position` (1-based) of `row`.
    QPoint PointOf(int row, int position) const;

    /// The text shown when the pointer rests at a point; empty shows none.
    void SetToolTipSource(std::function<QString(const QPoint&)> source) {
        toolTipSource_ = std::move(source);
    }

  signals:
    void MiddleClicked();
    /// Every pointer move and every press over the rows' area.
    void PointerAt(const QPoint& point);
    void RightClicked(const QPoint& point, Qt::KeyboardModifiers modifiers);
    void RowDoubleClicked(const QPoint& point);
    /// The menu key or Shift+F10: the menu of the current row, for keyboard users.
    void MenuKeyPressed(int row);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QString RowText(int row) const;
    /// Where the text of a row starts, in viewport coordinates.
    int TextLeft(int row) const;

    std::function<QString(const QPoint&)> toolTipSource_;
};

}  // namespace kestrel::ui
