#include "reader/systemclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace reader {

SystemClipboard::SystemClipboard(QObject* parent) : ClipboardSource(parent)
{
    if (qEnvironmentVariable(kNotificationsVariable) == QStringLiteral("0"))
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    connect(clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard)
            emit changed();
    });
}

QString SystemClipboard::text() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasText())
        return QString();
    return data->text();
}

bool SystemClipboard::ownedHere() const
{
    return QGuiApplication::clipboard()->ownsClipboard();
}

} // namespace reader
