#pragma once

#include <QAbstractListModel>
#include <QColor>
#include <QVariant>

#include "app/workspace.h"

// The two lists read the Workspace's rows directly: no copy, no per-row item
// objects, so a listing of 32,767 rows costs one model reset. A command that
// rebuilds the rows brackets itself with BeginChange/EndChange.
namespace kestrel::ui {

/// True for a flagged row of the target list (its new name failed a check).
inline constexpr int kFlaggedRole = Qt::UserRole + 1;

/// A flagged row's warning look: pale red with dark text, unlike the blue of
/// a selected row in the source list.
inline const QColor kFlaggedBackground{0xFF, 0xD9, 0xD9};
inline const QColor kFlaggedText{0x5C, 0x00, 0x00};

class SourceListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit SourceListModel(const app::Workspace& workspace, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void BeginChange() { beginResetModel(); }
    void EndChange() { endResetModel(); }
    void RowChanged(int row) { emit dataChanged(index(row), index(row)); }

  private:
    const app::Workspace& workspace_;
};

/// One row per source row; flagged rows carry the highlight colours. The
/// tooltips depend on the character under the pointer: the view asks for them.
class TargetListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit TargetListModel(const app::Workspace& workspace, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void BeginChange() { beginResetModel(); }
    void EndChange() { endResetModel(); }
    /// Every row's text may have changed; the rows themselves are the same.
    void RowsChanged() {
        if (rowCount() > 0) {
            emit dataChanged(index(0), index(rowCount() - 1));
        }
    }

  private:
    const app::Workspace& workspace_;
};

}  // namespace kestrel::ui
