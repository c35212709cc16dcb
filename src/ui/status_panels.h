#pragma once

#include <QWidget>
#include <array>

class QHBoxLayout;
class QLabel;
class QProgressBar;

namespace kestrel::ui {

/// The status bar's three text panels (StatMsg, StatSource, StatDest) and its
/// two progress bars. The panels share the bar's width by what they show, so
/// that a long warning beside a short "Ready." is read whole on a small screen
/// instead of being cut off at a fixed share.
class StatusPanels : public QWidget {
  public:
    explicit StatusPanels(QWidget* parent = nullptr);

    const std::array<QLabel*, 3>& Panels() const { return panels_; }
    const std::array<QProgressBar*, 2>& ProgressBars() const { return progressBars_; }
    /// Shares the width anew; called after a panel's text changed.
    void TextsChanged();

  private:
    QHBoxLayout* layout_ = nullptr;
    std::array<QLabel*, 3> panels_{};
    std::array<QProgressBar*, 2> progressBars_{};
    std::array<int, 3> shares_{};
};

}  // namespace kestrel::ui
