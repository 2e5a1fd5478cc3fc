#pragma once

#include <QString>
#include <QUrl>

namespace startup {

// The maker's addresses, kept in one place.
inline const QString kHomePage = QStringLiteral("https://velkor.example.org/dialogs/");
inline const QString kEmailAddress = QStringLiteral("dialogs@velkor.example.org");

// The page a first run opens: the local help's getting-started section, so a
// first run needs no network.
inline QUrl setupPage(const QString& programFolder)
{
    QUrl url = QUrl::fromLocalFile(programFolder + QStringLiteral("/help.html"));
    url.setFragment(QStringLiteral("getting-started"));
    return url;
}

} // namespace startup
