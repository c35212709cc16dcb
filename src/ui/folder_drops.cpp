#include "ui/folder_drops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace kestrel::ui {
namespace {

// The first local file or folder a drag carries; empty for anything else.
QString LocalPath(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty()) {
        return {};
    }
    const QUrl& url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

FolderDrops::FolderDrops(QWidget* widget, Handler dropped)
    : QObject(widget), dropped_(std::move(dropped)) {
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
}

bool FolderDrops::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (LocalPath(drag->mimeData()).isEmpty()) {
                break;
            }
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = LocalPath(drop->mimeData());
            if (path.isEmpty()) {
                break;
            }
            drop->acceptProposedAction();
            dropped_(path);
            return true;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kestrel::ui
