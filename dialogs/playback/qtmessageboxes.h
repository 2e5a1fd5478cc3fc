#pragma once

#include "dialogs/playback/messageboxes.h"

#include <QPointer>
#include <QWidget>

namespace playback {

// QMessageBox with OK, titled with the application's display name, in the
// middle of the screen and on top of the strip.
class QtMessageBoxes final : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : m_parent(parent) {}
    void information(const QString& text) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace playback
