#pragma once

#include <QString>
#include <QWidget>

namespace speech::agent {

// The word balloon: a frameless top-level beside the character with a
// rounded frame holding the words spoken so far. Its size is taken from the
// whole utterance so it does not grow while words appear.
class BalloonWidget final : public QWidget
{
    Q_OBJECT

public:
    explicit BalloonWidget(QWidget* parent = nullptr);

    // The words spoken so far and the whole utterance; stress marks in them
    // are left out.
    void setTexts(const QString& shownText, const QString& fullText);
    QString shownText() const { return m_shown; }
    // Puts the balloon above the character, or beside it when there is no room.
    void placeBeside(const QRect& character);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect textRect() const;

    QString m_shown;
    QString m_full;
};

} // namespace speech::agent
