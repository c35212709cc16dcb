#pragma once

#include <QDialog>
#include <functional>
#include <string_view>

class QCheckBox;
class QLabel;
class QPushButton;

namespace kestrel::settings {
class SettingsStore;
}

// The About box (frmAbout): the version and what the last update check said
// about it, the beta offer switch, the update check itself, the maker's web
// site and the computer's system information.
namespace kestrel::ui {

class QtUi;

class AboutWindow : public QDialog {
    Q_OBJECT
  public:
    /// Runs the update check; `status` hears its status text once it is known.
    using UpdateCheck = std::function<void(int mode, bool force,
                                           const std::function<void(std::string_view)>& status)>;

    /// Without a store, betas cannot be switched on and the default site is used.
    AboutWindow(settings::SettingsStore* store, QtUi& ui, UpdateCheck check,
                QWidget* parent = nullptr);

    /// Run at each opening: the version text alone, the stored beta offer.
    void Load();

  private:
    void CheckNow(Qt::KeyboardModifiers modifiers);
    void VisitWebSite();
    void ShowSystemInformation();

    settings::SettingsStore* store_;
    QtUi& ui_;
    UpdateCheck check_;
    QLabel* lblVersion_ = nullptr;
    QCheckBox* chkOfferBetas_ = nullptr;
    QPushButton* cmdUpdate_ = nullptr;
    QPushButton* cmdWWW_ = nullptr;
    QPushButton* cmdSysInfo_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
};

}  // namespace kestrel::ui
