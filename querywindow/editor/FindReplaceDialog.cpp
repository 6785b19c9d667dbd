#include "FindReplaceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

FindReplaceDialog::FindReplaceDialog(Kind kind, QWidget* parent) : QDialog(parent), kind_(kind)
{
    const bool replace = kind == Kind::Replace;
    setWindowTitle(replace ? QStringLiteral("替换") : QStringLiteral("查找"));
    setModal(false);

    auto* fields = new QGridLayout;
    auto* findLabel = new QLabel(QStringLiteral("查找内容(&N):"), this);
    FindEdit = new QLineEdit(this);
    FindEdit->setObjectName(QStringLiteral("FindEdit"));
    findLabel->setBuddy(FindEdit);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(FindEdit, 0, 1);
    if (replace) {
        auto* replaceLabel = new QLabel(QStringLiteral("替换为(&P):"), this);
        ReplaceEdit = new QLineEdit(this);
        ReplaceEdit->setObjectName(QStringLiteral("ReplaceEdit"));
        replaceLabel->setBuddy(ReplaceEdit);
        fields->addWidget(replaceLabel, 1, 0);
        fields->addWidget(ReplaceEdit, 1, 1);
    }

    WholeWordBox = new QCheckBox(QStringLiteral("全字匹配(&W)"), this);
    WholeWordBox->setObjectName(QStringLiteral("WholeWordBox"));
    MatchCaseBox = new QCheckBox(QStringLiteral("区分大小写(&C)"), this);
    MatchCaseBox->setObjectName(QStringLiteral("MatchCaseBox"));
    auto* options = new QHBoxLayout;
    auto* boxes = new QVBoxLayout;
    boxes->addWidget(WholeWordBox);
    boxes->addWidget(MatchCaseBox);
    options->addLayout(boxes);
    if (!replace) {
        auto* direction = new QGroupBox(QStringLiteral("方向"), this);
        UpButton = new QRadioButton(QStringLiteral("向上(&U)"), direction);
        UpButton->setObjectName(QStringLiteral("UpButton"));
        DownButton = new QRadioButton(QStringLiteral("向下(&D)"), direction);
        DownButton->setObjectName(QStringLiteral("DownButton"));
        DownButton->setChecked(true);
        auto* directionLayout = new QHBoxLayout(direction);
        directionLayout->addWidget(UpButton);
        directionLayout->addWidget(DownButton);
        options->addWidget(direction);
    }

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    left->addStretch();

    auto* buttons = new QVBoxLayout;
    FindNextButton = new QPushButton(QStringLiteral("查找下一个(&F)"), this);
    FindNextButton->setObjectName(QStringLiteral("FindNextButton"));
    FindNextButton->setDefault(true);
    buttons->addWidget(FindNextButton);
    connect(FindNextButton, &QPushButton::clicked, this, [this] { Press(FR_FINDNEXT); });
    if (replace) {
        ReplaceButton = new QPushButton(QStringLiteral("替换(&R)"), this);
        ReplaceButton->setObjectName(QStringLiteral("ReplaceButton"));
        ReplaceAllButton = new QPushButton(QStringLiteral("全部替换(&A)"), this);
        ReplaceAllButton->setObjectName(QStringLiteral("ReplaceAllButton"));
        buttons->addWidget(ReplaceButton);
        buttons->addWidget(ReplaceAllButton);
        connect(ReplaceButton, &QPushButton::clicked, this, [this] { Press(FR_REPLACE); });
        connect(ReplaceAllButton, &QPushButton::clicked, this, [this] { Press(FR_REPLACEALL); });
    }
    CancelButton = new QPushButton(QStringLiteral("取消"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    buttons->addWidget(CancelButton);
    buttons->addStretch();
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::hide);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(FindEdit, &QLineEdit::textChanged, this, &FindReplaceDialog::UpdateButtons);
    UpdateButtons();
}

QString FindReplaceDialog::FindText() const { return FindEdit->text(); }

void FindReplaceDialog::SetFindText(const QString& text) { FindEdit->setText(text); }

QString FindReplaceDialog::ReplaceText() const { return ReplaceEdit ? ReplaceEdit->text() : QString(); }

void FindReplaceDialog::SetReplaceText(const QString& text)
{
    if (ReplaceEdit) ReplaceEdit->setText(text);
}

std::uint32_t FindReplaceDialog::Options() const
{
    std::uint32_t options = pressed_;
    // The replace dialog has no direction: it searches downwards.
    if (!DownButton || DownButton->isChecked()) options |= FR_DOWN;
    if (WholeWordBox->isChecked()) options |= FR_WHOLEWORD;
    if (MatchCaseBox->isChecked()) options |= FR_MATCHCASE;
    return options;
}

void FindReplaceDialog::SetOptions(std::uint32_t options)
{
    if (DownButton) {
        DownButton->setChecked((options & FR_DOWN) != 0);
        UpButton->setChecked((options & FR_DOWN) == 0);
    }
    WholeWordBox->setChecked((options & FR_WHOLEWORD) != 0);
    MatchCaseBox->setChecked((options & FR_MATCHCASE) != 0);
}

void FindReplaceDialog::Execute()
{
    show();
    raise();
    activateWindow();
    FindEdit->setFocus();
    FindEdit->selectAll();
}

QPoint FindReplaceDialog::PlaceClearOf(const QRect& frame, const QRect& found, const QRect& screen)
{
    if (!frame.intersects(found)) return frame.topLeft();
    // A small gap, so that the frame does not touch the text.
    constexpr int Gap = 8;
    const int below = found.bottom() + 1 + Gap;
    const int above = found.top() - Gap - frame.height();
    int y = below;
    if (below + frame.height() > screen.bottom() + 1 && above < screen.top())
        y = screen.bottom() + 1 - found.bottom() >= found.top() - screen.top() ? below : above;
    else if (below + frame.height() > screen.bottom() + 1)
        y = above;
    const int x = std::clamp(frame.left(), screen.left(), std::max(screen.left(), screen.right() + 1 - frame.width()));
    return {x, y};
}

void FindReplaceDialog::KeepClearOf(const QRect& found)
{
    if (!isVisible()) return;
    const QScreen* on = screen();
    const QRect area = on ? on->availableGeometry() : QRect(frameGeometry().united(found));
    const QPoint to = PlaceClearOf(frameGeometry(), found, area);
    // move() places the frame of a window.
    if (to != frameGeometry().topLeft()) move(to);
}

void FindReplaceDialog::Press(std::uint32_t button)
{
    pressed_ = button;
    if (button == FR_FINDNEXT) emit Find();
    else emit Replace();
}

void FindReplaceDialog::UpdateButtons()
{
    // As in the platform's dialogs, nothing can be searched for without a find text.
    const bool any = !FindEdit->text().isEmpty();
    for (QPushButton* b : {FindNextButton, ReplaceButton, ReplaceAllButton})
        if (b) b->setEnabled(any);
}
