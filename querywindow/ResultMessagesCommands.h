// The messages page of a query window: the keys of its text (Ctrl+A selects all, Ctrl+F shows the
// find dialog), its pop-up menu (cut, copy, paste, select all, font) and the font command, which
// keeps the font for the windows opened later and writes it to the settings file.
#pragma once

#include <QObject>

class TFMain;

class ResultMessagesCommands : public QObject {
    Q_OBJECT
public:
    explicit ResultMessagesCommands(TFMain& window);

    // key: a Qt key code, set to 0 when the key is handled here.
    void KeyDown(int& key, Qt::KeyboardModifiers shift);
    void MouseDown(Qt::MouseButton button);
    void Cut();
    void Copy();
    void Paste();
    void SelectAll();
    void FontClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildPopupMenu();

    TFMain& window_;
};
