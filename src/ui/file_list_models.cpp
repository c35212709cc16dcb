#include "ui/file_list_models.h"
#include "ui/qt_text.h"

#include <QString>

namespace kestrel::ui {
namespace {

// Views may paint while a command is still rebuilding the rows, so every row
// number is checked against the rows as they are now.
bool InRange(const QModelIndex& index, std::size_t size) {
    return index.isValid() && index.row() >= 0 && static_cast<std::size_t>(index.row()) < size;
}

// A row as the user reads it: paths in the style the preferences ask.
QString Shown(const app::Workspace& workspace, const std::string& text) {
    return ToQString(
        workspace.Paths().Row(text, workspace.options.cboPathDisplay == engine::kShowFullPath));
}

}  // namespace

SourceListModel::SourceListModel(const app::Workspace& workspace, QObject* parent)
    : QAbstractListModel(parent), workspace_(workspace) {}

int SourceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(workspace_.SourceFileList().size());
}

QVariant SourceListModel::data(const QModelIndex& index, int role) const {
    const auto& rows = workspace_.SourceFileList();
    if (!InRange(index, rows.size()) || role != Qt::DisplayRole) {
        return {};
    }
    return Shown(workspace_, rows[static_cast<std::size_t>(index.row())].text);
}

TargetListModel::TargetListModel(const app::Workspace& workspace, QObject* parent)
    : QAbstractListModel(parent), workspace_(workspace) {}

int TargetListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(workspace_.TargetFileList().size());
}

QVariant TargetListModel::data(const QModelIndex& index, int role) const {
    const auto& rows = workspace_.TargetFileList();
    if (!InRange(index, rows.size())) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    const bool flagged = workspace_.TargetFlagged(row);
    switch (role) {
        case Qt::DisplayRole:
            return Shown(workspace_, rows[row]);
        case kFlaggedRole:
            return flagged;
        case Qt::BackgroundRole:
            return flagged ? QVariant(kFlaggedBackground) : QVariant();
        case Qt::ForegroundRole:
            return flagged ? QVariant(kFlaggedText) : QVariant();
        case Qt::AccessibleDescriptionRole:
            // What a screen reader says of a flagged row: the check's message.
            return flagged ? ToQString(workspace_.ErrorMessage(row)) : QVariant();
        default:
            return {};
    }
}

}  // namespace kestrel::ui
