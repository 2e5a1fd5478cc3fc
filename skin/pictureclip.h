#pragma once

#include <QImage>

namespace skin {

// One picture cut into equal cells, numbered from 0 left to right, then top
// to bottom.
class PictureClip final
{
public:
    PictureClip() = default;
    PictureClip(const QImage& picture, int rows, int columns);

    int cellCount() const { return m_rows * m_columns; }
    QSize cellSize() const;
    // A null image for an index outside the strip.
    QImage cell(int index) const;

private:
    QImage m_picture;
    int m_rows = 0;
    int m_columns = 0;
};

} // namespace skin
