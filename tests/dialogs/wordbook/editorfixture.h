#pragma once

// Driving the word book editor through its widgets, as the learner would.

#include "dialogs/wordbook/editorcontroller.h"
#include "dialogs/wordbook/editormessages.h"
#include "dialogs/wordbook/wordbookeditor.h"
#include "skin/skinbutton.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QStringList>
#include <QToolButton>
#include <QtTest>

namespace editortest {

// Keeps the messages instead of showing them.
class FakeMessages final : public wordbook::EditorMessages
{
public:
    void error(const QString& text) override { shown << text; }
    // The messages since the last call.
    QStringList take() { return std::exchange(shown, {}); }

    QStringList shown;
};

// Types text key by key; unlike QTest::keyClicks, also letters beyond ASCII.
inline void typeKeys(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Replaces a box's text by typing, so the editor sees the learner's edit.
inline void type(QLineEdit* edit, const QString& text)
{
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        typeKeys(edit, text);
}

inline void press(skin::SkinButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
}

inline void press(QToolButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

inline void clickEntry(QListView* list, int row)
{
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

inline QStringList entries(const QListView* list)
{
    QStringList texts;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        texts << list->model()->index(row, 0).data().toString();
    return texts;
}

inline int selectedRow(const QListView* list)
{
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

} // namespace editortest
