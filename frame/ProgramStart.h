// The program's start: the frame with everything that lives as long as the program, the first
// connect dialog and query window, then the event loop until the frame closes.
#pragma once

class QApplication;
class TFMain_mul;

class ProgramStart {
public:
    // Everything before the event loop: the application's title, the frame (FMain_mul, owned by
    // the caller) in its state without a connection, shown, and the first connect dialog with the
    // first query window on OK.
    static TFMain_mul* Start();
    // Start, the event loop, and the frame's end.
    static int Run(QApplication& application);
};
