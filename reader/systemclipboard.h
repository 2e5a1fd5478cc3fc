#pragma once

#include "reader/clipboardsource.h"

namespace reader {

// The desktop's clipboard (not the selection) through QClipboard. It is only
// ever read.
class SystemClipboard final : public ClipboardSource
{
    Q_OBJECT

public:
    // Set to "0", the change notifications are ignored, as on a desktop that
    // sends none (for measuring the poll that stands in for them).
    static constexpr const char* kNotificationsVariable = "VELKOR_CLIPBOARD_NOTIFICATIONS";

    explicit SystemClipboard(QObject* parent = nullptr);

    QString text() const override;
    bool ownedHere() const override;
};

} // namespace reader
