// The base of every wizard page: a fixed-size dialog window with the top panel and the three
// navigation buttons.
#pragma once

#include "Prompter.h"

#include <QWidget>

class QFrame;
class QPushButton;

class TfrmParent : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 589;
    static constexpr int ClientHeight = 397;

    explicit TfrmParent(QWidget* parent = nullptr);

    // Runs once, right after the page is made.
    virtual void FormCreate() {}

    QFrame* panel1;
    QPushButton* btn_back;
    QPushButton* btn_next;
    QPushButton* btn_cancel;

protected:
    // Runs at each showing, and at the close box.
    virtual void FormShow() {}
    virtual void FormClose() {}

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    // A modal message through the program's prompter.
    static Prompter::Button Message(const QString& text, const QString& caption, Prompter::Icon icon, int buttons);
    // Asks the page's cancel question; OK ends the program.
    static void AskToQuit(const QString& question);
};
