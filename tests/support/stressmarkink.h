#pragma once

// Where a text box draws the stress marks in its text, from its pictures.

#include <QFrame>
#include <QImage>
#include <QStringList>
#include <QStyle>
#include <QWidget>

#include <functional>

namespace testsupport {

using SetText = std::function<void(const QString&)>;

// A grey level step that is drawing, not noise.
constexpr int kInkStep = 64;

// The box's picture with text in it (put there by setText), without a caret.
inline QImage textShot(QWidget& box, const SetText& setText, const QString& text)
{
    box.clearFocus();
    setText(text);
    return box.grab().toImage().convertToFormat(QImage::Format_Grayscale8);
}

// The bounds of the pixels two pictures of one box differ in; empty if none.
inline QRect changedInk(const QImage& before, const QImage& after)
{
    QRect changed;
    for (int y = 0; y < std::min(before.height(), after.height()); ++y) {
        const uchar* b = before.constScanLine(y);
        const uchar* a = after.constScanLine(y);
        for (int x = 0; x < std::min(before.width(), after.width()); ++x) {
            if (std::abs(int(a[x]) - int(b[x])) > kInkStep)
                changed |= QRect(x, y, 1, 1);
        }
    }
    return changed;
}

// The ink a combining acute adds to text that holds it.
inline QRect stressMarkInk(QWidget& box, const SetText& setText, const QString& marked)
{
    QString plain = marked;
    plain.remove(QChar(0x0301));
    return changedInk(textShot(box, setText, plain), textShot(box, setText, marked));
}

// Every way the stress marks fail to show in box, at its font: after each
// Cyrillic vowel, small inside a word and capital at its start, an acute adds
// ink above the vowel, clear of it, over it and inside the box's frame.
inline QStringList stressMarkFaults(QWidget& box, const SetText& setText)
{
    const auto* frame = qobject_cast<const QFrame*>(&box);
    const int border = box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &box);
    const QRect inside =
        frame ? frame->contentsRect() : box.rect().adjusted(border, border, -border, -border);
    QStringList faults;
    for (const QChar vowel : QStringLiteral("аеиоуыэюяАЕИОУЫЭЮЯ")) {
        const QString before = vowel.isLower() ? QStringLiteral("м") : QString();
        const QRect letter =
            changedInk(textShot(box, setText, before), textShot(box, setText, before + vowel));
        const QRect mark = stressMarkInk(box, setText, before + vowel + QChar(0x0301));
        const double centre = (mark.left() + mark.right() + 1) / 2.0;
        const QString where = QStringLiteral("%1: mark %2,%3 %4x%5, letter %6,%7 %8x%9")
                                  .arg(vowel)
                                  .arg(mark.x())
                                  .arg(mark.y())
                                  .arg(mark.width())
                                  .arg(mark.height())
                                  .arg(letter.x())
                                  .arg(letter.y())
                                  .arg(letter.width())
                                  .arg(letter.height());
        if (letter.isEmpty() || mark.isEmpty())
            faults << where + QStringLiteral(" (no ink)");
        else if (mark.bottom() >= letter.top())
            faults << where + QStringLiteral(" (not above its letter)");
        else if (centre < letter.left() - 1 || centre > letter.right() + 2)
            faults << where + QStringLiteral(" (beside its letter)");
        else if (!inside.contains(mark))
            faults << where + QStringLiteral(" (outside the box)");
    }
    return faults;
}

} // namespace testsupport
