#pragma once

#include "dialogs/menu/desktop.h"

namespace menu {

// The real desktop: xdg-open (which QDesktopServices itself would run), so
// its exit status tells whether any handler took the address; QDesktopServices
// where there is no xdg-open; QProcess for programs.
class SystemDesktop final : public Desktop
{
public:
    // How long a failure of the opener still counts as "no handler": past it,
    // a handler was running and whatever it reports is its own business.
    static constexpr int kSettleMs = 5000;

    void openUrl(const QUrl& url, std::function<void()> unhandled) override;
    void startDetached(const QString& program) override;
};

} // namespace menu
