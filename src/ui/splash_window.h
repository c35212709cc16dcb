#pragma once

#include <QWidget>

class QLabel;

// The window shown while Kestrel starts: its name, version and a status line
// that the first listing writes to.
namespace kestrel::ui {

class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    explicit SplashWindow(QWidget* parent = nullptr);

    void SetStatus(const QString& text);

  private:
    QLabel* status_;
};

}  // namespace kestrel::ui
