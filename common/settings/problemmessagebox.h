#pragma once

#include "common/settings/storeproblemreporter.h"

#include <QPointer>
#include <QWidget>

namespace settings {

// The store's message in a box with an OK button that does not hold the
// program up: it is shown and the program goes on. It stays on top, so the
// always-on-top strip never hides it, and it belongs to owner.
class ProblemMessageBox final : public StoreProblemReporter
{
public:
    explicit ProblemMessageBox(QWidget* owner) : m_owner(owner) {}
    void report(const QString& message) override;

private:
    QPointer<QWidget> m_owner;
};

} // namespace settings
