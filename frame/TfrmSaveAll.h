// The save question of the frame's closing: one modified query window's text at a time, answered
// with Yes, No, No to all or Cancel. Created at start-up and shown once per modified window.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TfrmSaveAll : public QDialog {
    Q_OBJECT
public:
    // The form's results, one per button.
    static constexpr int mrYes = 6;
    static constexpr int mrNo = 7;
    static constexpr int mrNoToAll = 9;
    static constexpr int mrCancel = 2;

    explicit TfrmSaveAll(QWidget* parent = nullptr);

    QLabel* lbl_promption = nullptr;
    QPushButton* btnYes = nullptr;
    QPushButton* btnNo = nullptr;
    QPushButton* btnNOtoAll = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    // The close box and Escape answer Cancel.
    void reject() override;
};
