#pragma once

#include "reader/readerview.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;

namespace skin {
class CaptionButton;
class SkinButton;
class SkinFrame;
} // namespace skin

namespace reader {

class ReaderController;

// The reader's one window, "Reader Tobrin", in the skinned frame: the
// character's name, the text to read, the auto-read box, Exit, Read, Stop,
// Play Animation and the character list. It holds no behaviour; its handlers
// report to the controller. Closing hides it at once.
class ReaderWindow final : public QWidget, public ReaderView
{
    Q_OBJECT

public:
    // The designed client size in twips (425 x 321 pixels at 96 DPI).
    static constexpr int kWidthTwips = 6375;
    static constexpr int kHeightTwips = 4815;

    explicit ReaderWindow(QWidget* parent = nullptr);
    ~ReaderWindow() override;

    // Sends every handler of the window to controller.
    void connectTo(ReaderController& controller);
    // Shows the window centred on the primary screen.
    void showCentred();
    // A second start asked for the reader.
    void bringToFront();

    void setCharacterCaption(const QString& caption, const QString& detail) override;
    void setCharacterChoices(const QStringList& names, const QString& current) override;
    QString text() const override;
    void setText(const QString& text) override;
    void setAutoReadChecked(bool checked) override;
    void highlightWord(qsizetype start, qsizetype length) override;
    void showMessage(const QString& message) override;

    // Pieces, for tests.
    QLabel* characterLabel() const { return m_characterLabel; }
    QPlainTextEdit* textBox() const { return m_textBox; }
    QCheckBox* autoReadBox() const { return m_autoReadBox; }
    skin::SkinButton* exitButton() const { return m_exitButton; }
    skin::SkinButton* readButton() const { return m_readButton; }
    skin::SkinButton* stopButton() const { return m_stopButton; }
    skin::SkinButton* playAnimationButton() const { return m_playAnimationButton; }
    QComboBox* characterList() const { return m_characterList; }
    skin::CaptionButton* closeButton() const { return m_closeButton; }
    skin::SkinFrame* frame() const { return m_frame; }
    // The word marked in the text box, or an empty span.
    std::pair<qsizetype, qsizetype> highlightedWord() const;

signals:
    void autoReadClicked(bool checked);
    void readClicked();
    void stopClicked();
    void playAnimationClicked();
    // A character was picked; empty when the list had nothing to pick.
    void characterPicked(const QString& name);
    void textEdited();
    // The window has been closed and is gone from the screen.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QRect designRect(int left, int top, int width, int height) const;
    void keepVisible(int position);

    double m_twipsPerPixel = 15.0;
    skin::SkinFrame* m_frame = nullptr;
    skin::CaptionButton* m_closeButton = nullptr;
    QLabel* m_characterLabel = nullptr;
    QGroupBox* m_textFrame = nullptr;
    QPlainTextEdit* m_textBox = nullptr;
    QCheckBox* m_autoReadBox = nullptr;
    skin::SkinButton* m_exitButton = nullptr;
    skin::SkinButton* m_readButton = nullptr;
    skin::SkinButton* m_stopButton = nullptr;
    skin::SkinButton* m_playAnimationButton = nullptr;
    QLabel* m_characterCaption = nullptr;
    QComboBox* m_characterList = nullptr;
    bool m_settingText = false;
};

} // namespace reader
