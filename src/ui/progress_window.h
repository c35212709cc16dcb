#pragma once

#include <QDialog>

#include "update/update_check.h"

class QLabel;
class QProgressBar;
class QPushButton;

// The progress window (frmProgress) of the Internet update: what is being
// done, the transfer's state, and a Cancel button. It is modal, so while a
// transfer runs the program serves its events (painting, the Cancel button)
// and nothing else can be clicked.
namespace kestrel::ui {

class QtUi;

class ProgressWindow : public QDialog, public update::ProgressView {
    Q_OBJECT
  public:
    explicit ProgressWindow(QtUi& ui, QWidget* parent = nullptr);

    void Open() override;
    void SetAction(std::string_view text) override;
    void SetState(std::string_view text) override;
    bool Cancelled() override;
    void Close() override;

  protected:
    /// Escape and the close box cancel the transfer; the check closes the window.
    void reject() override;

  private:
    void Paint();

    QtUi& ui_;
    QLabel* lblAction_ = nullptr;
    QLabel* lblState_ = nullptr;
    QProgressBar* prgTransfer_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    bool cancelled_ = false;
};

}  // namespace kestrel::ui
