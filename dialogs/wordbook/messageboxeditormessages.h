#pragma once

#include "dialogs/wordbook/editormessages.h"

#include <QPointer>
#include <QWidget>

namespace wordbook {

// EditorMessages as a QMessageBox titled with the application's name.
class MessageBoxEditorMessages final : public EditorMessages
{
public:
    explicit MessageBoxEditorMessages(QWidget* parent = nullptr) : m_parent(parent) {}
    void error(const QString& text) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace wordbook
