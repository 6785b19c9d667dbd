#include "EditorMessageBox.h"

void EditorMessageBox::Show(QWidget* parent, const EditorMessage& message)
{
    if (Hook) {
        Hook(message);
        return;
    }
    QMessageBox box(message.Icon, message.Caption, message.Text, QMessageBox::Ok, parent);
    box.exec();
}
