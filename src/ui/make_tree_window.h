#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

// The Create New Folder window (frmMkTree): a path whose missing folders are
// all made at once, so that 'T:\Photos\2001\June\' makes three levels.
namespace kestrel::ui {

class MakeTreeWindow : public QDialog {
    Q_OBJECT
  public:
    /// `create` makes the folders of the typed path once OK has hidden the window.
    explicit MakeTreeWindow(std::function<void(const QString& path)> create,
                            QWidget* parent = nullptr);

    /// Fills the path box with `path`, ready to be extended.
    void Start(const QString& path);

  private:
    std::function<void(const QString&)> create_;
    QLineEdit* txtName_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
};

}  // namespace kestrel::ui
