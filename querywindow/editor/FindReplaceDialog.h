// The find and the replace dialog of a query window (not modal): the find text, the replace text,
// whole word, match case and, in the find dialog, the direction. They keep their texts and options
// between uses. Find Next raises Find; Replace and Replace All raise Replace.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QString>

#include <cstdint>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The dialogs' flags.
inline constexpr std::uint32_t FR_DOWN = 0x1;
inline constexpr std::uint32_t FR_WHOLEWORD = 0x2;
inline constexpr std::uint32_t FR_MATCHCASE = 0x4;
inline constexpr std::uint32_t FR_FINDNEXT = 0x8;
inline constexpr std::uint32_t FR_REPLACE = 0x10;
inline constexpr std::uint32_t FR_REPLACEALL = 0x20;

class FindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Find, Replace };

    FindReplaceDialog(Kind kind, QWidget* parent);

    Kind DialogKind() const { return kind_; }
    QString FindText() const;
    void SetFindText(const QString& text);
    QString ReplaceText() const;
    void SetReplaceText(const QString& text);
    // FR_DOWN, FR_WHOLEWORD and FR_MATCHCASE as set, and the flag of the button pressed last
    // (FR_FINDNEXT, FR_REPLACE or FR_REPLACEALL).
    std::uint32_t Options() const;
    // Sets FR_DOWN, FR_WHOLEWORD and FR_MATCHCASE; other bits are ignored.
    void SetOptions(std::uint32_t options);

    // Shows the dialog, or brings it to the front when it is shown.
    void Execute();

    // Where a dialog whose frame is at frame goes so that it leaves the text at found (both in
    // screen coordinates) in view: where it is when it covers none of it, else just below the text,
    // else just above it, as far as the screen's area holds it (else the side with more room).
    static QPoint PlaceClearOf(const QRect& frame, const QRect& found, const QRect& screen);
    // Moves the dialog, when it is shown, off the text found (in screen coordinates).
    void KeepClearOf(const QRect& found);

    QLineEdit* FindEdit = nullptr;
    QLineEdit* ReplaceEdit = nullptr;
    QCheckBox* WholeWordBox = nullptr;
    QCheckBox* MatchCaseBox = nullptr;
    QRadioButton* UpButton = nullptr;
    QRadioButton* DownButton = nullptr;
    QPushButton* FindNextButton = nullptr;
    QPushButton* ReplaceButton = nullptr;
    QPushButton* ReplaceAllButton = nullptr;
    QPushButton* CancelButton = nullptr;

signals:
    void Find();
    void Replace();

private:
    void Press(std::uint32_t button);
    void UpdateButtons();

    Kind kind_;
    std::uint32_t pressed_ = 0;
};
