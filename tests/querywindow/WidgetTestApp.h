// The application object of a widget test binary (offscreen), and waiting on its event loop.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QString>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

class WidgetTestApp : public testing::Environment {
public:
    void SetUp() override
    {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "tarnvale_widget_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }
    void TearDown() override
    {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

inline testing::Environment* const g_widgetTestApp = testing::AddGlobalTestEnvironment(new WidgetTestApp);

// Runs the event loop until done() holds or the time is up; true when done() held.
inline bool WaitUntil(const std::function<bool()>& done, int milliseconds = 30000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// Lets pending layout and paint events run.
inline void Settle() { WaitUntil([] { return false; }, 30); }
