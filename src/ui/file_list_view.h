#pragma once

#include <QListView>

// A list of names with a top row that the program sets: the scrolling keys
// move it by the fixed rules, and the two lists keep theirs in step.
namespace kestrel::ui {

class FileListView : public QListView {
    Q_OBJECT
  public:
    explicit FileListView(QWidget* parent = nullptr);

    int TopRow() const;
    void SetTopRow(int row);

  signals:
    void MiddleClicked();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace kestrel::ui
