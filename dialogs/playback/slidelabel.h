#pragma once

#include <QLabel>
#include <QStaticText>

namespace playback {

// A sentence line. Its caption is a run of leading spaces and the sentence;
// while a line slides only the spaces change, so the sentence is laid out
// once and drawn at the offset the spaces make.
class SlideLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit SlideLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStaticText m_sentence;
};

} // namespace playback
