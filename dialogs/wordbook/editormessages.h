#pragma once

#include <QString>

namespace wordbook {

// Modal messages of the word book editor: an error icon and an OK button.
class EditorMessages
{
public:
    virtual ~EditorMessages() = default;
    // Returns when the learner has closed the box.
    virtual void error(const QString& text) = 0;
};

} // namespace wordbook
