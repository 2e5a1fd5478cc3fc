#pragma once

#include <QGlyphRun>
#include <QLabel>

namespace playback {

// A sentence line. Its caption is a run of leading spaces and the sentence;
// while a line slides only the spaces change, so the sentence is laid out
// once and drawn at the offset the spaces make. Stress marks in it are
// drawn over their letters, inside the label: the contents margin above the
// text is room for those over capitals.
class SlideLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit SlideLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void layOut(const QString& sentence);

    QString m_sentence;
    QFont m_layoutFont;
    int m_layoutTop = 0;
    QList<QGlyphRun> m_glyphs;
};

} // namespace playback
