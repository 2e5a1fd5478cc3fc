#pragma once

#include "dialogs/menu/desktop.h"

namespace menu {

// The real desktop: QDesktopServices and QProcess.
class SystemDesktop final : public Desktop
{
public:
    void openUrl(const QUrl& url) override;
    void startDetached(const QString& program) override;
};

} // namespace menu
