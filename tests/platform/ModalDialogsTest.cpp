// The real dialogs behind the seams, offscreen: which keys and closes answer a message box, and a
// dialog whose parent window goes while it is up.
#include "FileChooser.h"
#include "FontChooser.h"
#include "MessageBoxPrompter.h"
#include "ModalDialogs.h"
#include "WidgetTestApp.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// Runs each step on the modal dialog in front, once one is up, one step per showing of the loop.
class OnTheDialog {
public:
    using Step = std::function<void(QDialog&)>;
    explicit OnTheDialog(std::vector<Step> steps) : steps_(std::move(steps))
    {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }
    ~OnTheDialog() { EXPECT_EQ(next_, steps_.size()) << "the dialog ended before every step ran"; }

private:
    void Poll()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || next_ == steps_.size()) return;
        steps_[next_++](*dialog);
    }

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    QTimer timer_;
};

void PressEsc(QDialog& box)
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus && box.isAncestorOf(focus) ? focus : &box, Qt::Key_Escape);
}

void CloseBox(QDialog& box)
{
    // As the window manager's close box does.
    QCloseEvent event;
    QCoreApplication::sendEvent(&box, &event);
}

void ExpectStillUp(QDialog& box) { EXPECT_TRUE(box.isVisible()) << "the box went without an answer"; }

OnTheDialog::Step Click(QMessageBox::StandardButton which)
{
    return [which](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        ASSERT_TRUE(box);
        ASSERT_TRUE(box->button(which));
        box->button(which)->click();
    };
}

} // namespace

TEST(MessageBoxPrompterTest, AYesNoQuestionTakesOnlyYesOrNoWhileEveryOtherBoxKeepsEscAndItsCloseBox)
{
    struct Case {
        const char* Name;
        int Buttons;
        std::vector<OnTheDialog::Step> Steps;
        Prompter::Button Answer;
    };
    const auto stillUp = [](QDialog& box) { ExpectStillUp(box); };
    const Case cases[] = {
        {"Yes/No, Esc then Yes", Prompter::Yes | Prompter::No, {PressEsc, stillUp, Click(QMessageBox::Yes)}, Prompter::Yes},
        {"Yes/No, close box then Yes", Prompter::Yes | Prompter::No, {CloseBox, stillUp, Click(QMessageBox::Yes)},
         Prompter::Yes},
        {"Yes/No, Esc, close box then No", Prompter::Yes | Prompter::No,
         {PressEsc, CloseBox, stillUp, Click(QMessageBox::No)}, Prompter::No},
        {"Yes/No, Yes", Prompter::Yes | Prompter::No, {Click(QMessageBox::Yes)}, Prompter::Yes},
        {"Yes/No, No", Prompter::Yes | Prompter::No, {Click(QMessageBox::No)}, Prompter::No},
        {"Yes/No/Cancel, Esc", Prompter::Yes | Prompter::No | Prompter::Cancel, {PressEsc}, Prompter::Cancel},
        {"Yes/No/Cancel, close box", Prompter::Yes | Prompter::No | Prompter::Cancel, {CloseBox}, Prompter::Cancel},
        {"OK/Cancel, Esc", Prompter::Ok | Prompter::Cancel, {PressEsc}, Prompter::Cancel},
        {"OK, Esc", Prompter::Ok, {PressEsc}, Prompter::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        MessageBoxPrompter prompter;
        OnTheDialog steps(c.Steps);
        EXPECT_EQ(prompter.Message("当前窗口中有可能存在事务", "无标题1", Prompter::Icon::Information, c.Buttons), c.Answer);
    }
}

// Each seam's dialog over a window that is destroyed while the dialog is up.
TEST(ModalDialogsTest, ADialogWhoseWindowGoesEndsUnansweredAndCountsAsRunningOnlyWhileUp)
{
    struct Case {
        const char* Name;
        std::function<bool(QWidget&)> Show; // whether the dialog gave an answer
    };
    const Case cases[] = {
        {"file",
         [](QWidget& window) {
             FileChooser::Request request;
             request.Parent = &window;
             request.Name = "SaveDialog1";
             request.Kind = FileChooser::Mode::Save;
             return FileChooser::Current().Choose(request).Accepted;
         }},
        {"font",
         [](QWidget& window) { return FontChooser::Current().Choose(&window, "FontDialog_richedit_result", QFont()).has_value(); }},
        {"message box",
         [](QWidget& window) {
             window.activateWindow();
             MessageBoxPrompter prompter;
             return prompter.Message("text", "caption", Prompter::Icon::Information, Prompter::Yes | Prompter::No) ==
                    Prompter::Yes;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* window = new QWidget;
        window->show();
        QApplication::setActiveWindow(window);
        Settle();
        const QPointer<QWidget> alive(window);
        bool runningWhileUp = false;
        OnTheDialog steps({[&](QDialog&) {
            runningWhileUp = ModalDialogs::AnyRunning();
            delete window;
        }});
        EXPECT_FALSE(ModalDialogs::AnyRunning());
        EXPECT_FALSE(c.Show(*window));
        EXPECT_TRUE(alive.isNull());
        EXPECT_TRUE(runningWhileUp);
        EXPECT_FALSE(ModalDialogs::AnyRunning());
    }
}

TEST(ModalDialogsTest, WhatWaitsForTheLastDialogRunsOnceFromTheLoopAndNeverForAContextGone)
{
    QObject kept;
    auto gone = std::make_unique<QObject>();
    int keptRuns = 0;
    int goneRuns = 0;
    {
        const ModalDialogs::Running outer;
        {
            const ModalDialogs::Running inner;
            ModalDialogs::AfterTheLast(&kept, [&] { ++keptRuns; });
            ModalDialogs::AfterTheLast(&kept, [&] { ++keptRuns; });
            ModalDialogs::AfterTheLast(gone.get(), [&] { ++goneRuns; });
        }
        Settle();
        EXPECT_EQ(keptRuns, 0) << "a dialog still runs";
    }
    EXPECT_EQ(keptRuns, 0) << "from the event loop, not inside the dialog's caller";
    gone.reset();
    Settle();
    EXPECT_EQ(keptRuns, 1);
    EXPECT_EQ(goneRuns, 0);

    // Nothing running: on the next turn of the loop.
    ModalDialogs::AfterTheLast(&kept, [&] { ++keptRuns; });
    Settle();
    EXPECT_EQ(keptRuns, 2);
}
