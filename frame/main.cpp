// The program Tarnvale: no arguments; the frame's start-up, then the event loop.
#include "ProgramStart.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    return ProgramStart::Run(application);
}
