// The modal messages of the SQL editor and its searches (OK button only). Tests replace Hook to
// read the message instead of showing a box.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

struct EditorMessage {
    QString Caption;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
};

class EditorMessageBox {
public:
    // When set, receives every message in place of the box.
    static inline std::function<void(const EditorMessage&)> Hook;

    static void Show(QWidget* parent, const EditorMessage& message);
};
