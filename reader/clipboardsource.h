#pragma once

#include <QObject>
#include <QString>

namespace reader {

// The desktop's clipboard as the watcher sees it; tests supply their own.
class ClipboardSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~ClipboardSource() override = default;

    // The plain text on the clipboard; empty when it holds none (nothing, or
    // only a picture).
    virtual QString text() const = 0;
    // Whether the clipboard's content was put there by this program.
    virtual bool ownedHere() const = 0;

signals:
    // Something new was put on the clipboard (where the desktop tells).
    void changed();
};

} // namespace reader
