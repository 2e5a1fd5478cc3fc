#pragma once

#include <QTextBrowser>

namespace menu {

// The user's guide in a window of our own, for desktops with no program
// that opens web pages. One viewer serves the whole run.
class HelpViewer final : public QTextBrowser
{
    Q_OBJECT

public:
    // Shows the page (help.html, with a section as its fragment) in the
    // viewer, made if needed, and brings the viewer forward.
    static HelpViewer* showPage(const QUrl& page);

    // The open viewer, or nullptr.
    static HelpViewer* current();

private:
    HelpViewer();
};

} // namespace menu
