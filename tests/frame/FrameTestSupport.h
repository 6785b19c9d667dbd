// Helpers of the frame's program tests: a prompter that records every message box and answers
// it, an installation of the program in a scratch folder, and driving modal dialogs.
#pragma once

#include "ProgramGlobals.h"
#include "QueryWindowNaming.h"
#include "RecordingPrompter.h"
#include "RegistryStore.h"
#include "Settings.h"
#include "TFMain.h"
#include "TFMain_mul.h"
#include "WidgetTestApp.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

// The program installed in a scratch folder: the registry's installation key points at it, the
// per-user settings folder is empty, and the search library folder holds nothing unless asked.
class TestInstallation {
public:
    struct Contents {
        bool Ini = true;
        bool KeywordFiles = true;
        bool SearchLibrary = false;
        QByteArray IniText = {};  // empty: the installed default file
    };

    explicit TestInstallation(const Contents& contents)
    {
        Folder = root_.path() + QStringLiteral("/Tarnvale/");
        QDir().mkpath(Folder);
        QDir().mkpath(root_.path() + QStringLiteral("/registry"));
        QDir().mkpath(root_.path() + QStringLiteral("/config"));
        QDir().mkpath(root_.path() + QStringLiteral("/lib"));
        qputenv("TARNVALE_REGISTRY_DIR", QFile::encodeName(root_.path() + QStringLiteral("/registry")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root_.path() + QStringLiteral("/config")));
        qputenv("TARNVALE_LIBDIR", contents.SearchLibrary ? QByteArray(TV_OSTREL_DIR)
                                                          : QFile::encodeName(root_.path() + QStringLiteral("/lib")));
        const RegistryStore registry(root_.path() + QStringLiteral("/registry"));
        registry.WriteString(RegistryHive::LocalMachine, Settings::InstallationKey, QStringLiteral("path"), Folder);
        registry.WriteString(RegistryHive::LocalMachine, Settings::InstallationKey, QStringLiteral("Version"),
                             QStringLiteral("1.0"));
        const QString data = QStringLiteral(TARNVALE_DATA_DIR) + QLatin1Char('/');
        if (contents.KeywordFiles)
            for (int n = 1; n <= 8; ++n) {
                const QString name = QStringLiteral("SRCREQU_%1.DAT").arg(n);
                QFile::copy(data + name, Folder + name);
            }
        if (contents.Ini) {
            QFile ini(IniPath());
            if (ini.open(QIODevice::WriteOnly)) {
                if (contents.IniText.isEmpty()) {
                    QFile source(data + QStringLiteral("Tarnvale.ini"));
                    source.open(QIODevice::ReadOnly);
                    ini.write(source.readAll());
                } else {
                    ini.write(contents.IniText);
                }
            }
        }
        Settings::ResetToStartValues();
    }
    ~TestInstallation()
    {
        // The settings file is read-only after a run; the scratch folder goes anyway.
        QFile::setPermissions(IniPath(), QFile::ReadOwner | QFile::WriteOwner);
        qunsetenv("TARNVALE_REGISTRY_DIR");
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("TARNVALE_LIBDIR");
        Settings::ResetToStartValues();
    }

    QString IniPath() const { return Folder + QStringLiteral("Tarnvale.ini"); }
    QString Folder;

private:
    QTemporaryDir root_;
};

// Runs action once, on the first widget of type T that is the active modal widget. A dialog that
// is still up after the time is up is rejected, so a broken test fails instead of hanging.
template <class T>
void WhenModal(std::function<void(T&)> action, int milliseconds = 60000)
{
    auto* timer = new QTimer;
    auto* started = new QElapsedTimer;
    started->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, started, action, milliseconds] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            delete started;
            action(*dialog);
            return;
        }
        if (started->elapsed() > milliseconds) {
            timer->stop();
            timer->deleteLater();
            delete started;
            ADD_FAILURE() << "no modal dialog of the expected kind came up";
            if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget())) other->reject();
        }
    });
    timer->start();
}

// A query window on the data source, opened as the connect dialog's OK opens it; none on failure.
inline TFMain* OpenQueryWindowOn(TFMain_mul& frame, const QString& dsn, const QString& user = {})
{
    NewConnectionKey = "===" + dsn + ";" + user + ",;";
    NewConnectionUser = user;
    NewConnectionPassword.clear();
    NewConnectionDSN = dsn;
    ++WindowCounter;
    frame.OpenQueryWindow(QueryWindowNaming::QueryWindowTitle(WindowCounter), true);
    Settle();
    TFMain* w = frame.ActiveQueryWindow();
    EXPECT_TRUE(w && w->DSN == dsn) << "no window on " << dsn.toStdString();
    return w && w->DSN == dsn ? w : nullptr;
}

// Closes the frame as the user does, lets its events settle and frees it; nothing when it is gone.
inline void CloseFrame(std::unique_ptr<TFMain_mul>& frame)
{
    if (!frame) return;
    frame->close();
    Settle();
    frame.reset();
    FMain_mul = nullptr;
}
