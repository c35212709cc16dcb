#pragma once

#include <QDialog>

#include "platform/file_system.h"

class QCheckBox;
class QLineEdit;

// Kestrel's own Properties window (frmProperties), for desktops whose file
// manager does not show one on request: the entry's name, kind, size, last
// change, the owner's permissions and its attribute marks.
namespace kestrel::ui {

class PropertiesWindow : public QDialog {
    Q_OBJECT
  public:
    explicit PropertiesWindow(QWidget* parent = nullptr);

    /// Shows the entry at program path `path`.
    void ShowEntry(const QString& path, const platform::EntryDetails& details);

  private:
    QLineEdit* txtName_ = nullptr;
    QLineEdit* txtFolder_ = nullptr;
    QLineEdit* txtKind_ = nullptr;
    QLineEdit* txtSize_ = nullptr;
    QLineEdit* txtModified_ = nullptr;
    QLineEdit* txtAccess_ = nullptr;
    QCheckBox* chkReadOnly_ = nullptr;
    QCheckBox* chkHidden_ = nullptr;
    QCheckBox* chkSystem_ = nullptr;
    QCheckBox* chkArchive_ = nullptr;
};

/// The kind of entry, as the window names it ("Folder", "Link to a file").
QString EntryKind(const platform::EntryDetails& details);
/// The owner's permissions in words ("Read and write").
QString OwnerAccessText(int ownerAccess);

}  // namespace kestrel::ui
