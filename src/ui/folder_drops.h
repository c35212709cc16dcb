#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Folders dragged from the desktop's file manager: a widget that takes them
// hands the host path of the dropped folder or file to a handler, and keeps
// every other drop (text into a box) to itself.
namespace kestrel::ui {

class FolderDrops : public QObject {
    Q_OBJECT
  public:
    using Handler = std::function<void(const QString& hostPath)>;

    /// Lets `widget` (for a list, its viewport) take dropped folders.
    FolderDrops(QWidget* widget, Handler dropped);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Handler dropped_;
};

}  // namespace kestrel::ui
