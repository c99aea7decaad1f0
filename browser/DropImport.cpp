#include "DropImport.h"
#include "Str.h"

#include "Session.h"
#include "TopicFiles.h"
#include "Utility.h"

#include <QDropEvent>
#include <QGuiApplication>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>

namespace {

// The local files of a drag when every one of them can be imported;
// nothing otherwise, so that a drop is taken whole or not at all.
QStringList importableFiles(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile() || !topicfiles::isImportable(url.toLocalFile()))
            return {};
        paths << url.toLocalFile();
    }
    return paths;
}

} // namespace

bool DropImport::accepts(const QMimeData *dragged, int category)
{
    // Categories mode has no category to import into: the cursor says no.
    return category != -1 && !importableFiles(dragged).isEmpty();
}

void DropImport::drop(const QMimeData *dropped, int category)
{
    Session &s = m_session;
    const QStringList paths = importableFiles(dropped);
    if (paths.isEmpty() || category == -1)
        return;
    if (RefusedReadOnly(s, m_window))
        return;
    QList<int> keys;
    QString error;
    // Many or large files take a while to read.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool imported = topicfiles::importFiles(s.store, category, paths, s.clock().now(), &keys, &error);
    QGuiApplication::restoreOverrideCursor();
    if (!imported) {
        s.dialogs().MsgBox(m_window, s.GetString(Str::DropFailed).arg(error), platform::vbCritical,
                           s.GetString(Str::ErrorTitle));
        return;
    }
    // The list has taken the new entries and selected the last.
}

bool DropImport::dragEvent(QEvent *event, int category)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (accepts(drag->mimeData(), category)) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto *dropped = static_cast<QDropEvent *>(event);
        if (!accepts(dropped->mimeData(), category)) {
            dropped->ignore();
            return true;
        }
        dropped->setDropAction(Qt::CopyAction);
        dropped->accept();
        drop(dropped->mimeData(), category);
        return true;
    }
    default:
        return false;
    }
}
