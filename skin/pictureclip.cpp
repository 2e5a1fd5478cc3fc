#include "skin/pictureclip.h"

namespace skin {

PictureClip::PictureClip(const QImage& picture, int rows, int columns)
    : m_picture(picture), m_rows(rows > 0 ? rows : 0), m_columns(columns > 0 ? columns : 0)
{}

QSize PictureClip::cellSize() const
{
    if (cellCount() == 0)
        return QSize();
    return QSize(m_picture.width() / m_columns, m_picture.height() / m_rows);
}

QImage PictureClip::cell(int index) const
{
    if (index < 0 || index >= cellCount() || m_picture.isNull())
        return QImage();
    const QSize size = cellSize();
    const int row = index / m_columns;
    const int column = index % m_columns;
    return m_picture.copy(column * size.width(), row * size.height(), size.width(), size.height());
}

} // namespace skin
