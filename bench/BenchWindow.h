// A query window of the benches on its own connection to a data source, as opening one makes it,
// shown at a given size; a run of SQL in it goes to its end through the window's own event loop.
#pragma once

#include "MuliThread.h"
#include "ODBCIntf.h"
#include "TFMain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QString>

class BenchWindow {
public:
    explicit BenchWindow(const QString& dsn, int width = 1600, int height = 900)
    {
        ODBCIntf::LoadODBC(nullptr);
        ODBCIntf::SQLAllocEnv(&w.hEnv);
        ODBCIntf::SQLAllocConnect(w.hEnv, &w.hDbc);
        const QByteArray name = dsn.toUtf8();
        auto text = [](const char* s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s)); };
        ok = SQL_SUCCEEDED(ODBCIntf::SQLConnect(w.hDbc, text(name.constData()), SQL_NTS, text(""), SQL_NTS, text(""), SQL_NTS));
        ODBCIntf::GetSupportedFunctions(w.hDbc, w.SupportedFunctions);
        w.StatementSeparator.assign(1, ';');
        w.AutoCommit = 1;
        w.DbmsKind = 20;
        w.resize(width, height);
        w.show();
        QCoreApplication::processEvents();
    }
    ~BenchWindow() { w.FreeConnectionHandles(); }
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;

    // A run of sql in the window's display mode, served from an idle event loop as the program
    // does; its time to the run's end in ms.
    double Run(const QString& sql)
    {
        RunOptions options;
        options.SqlText = sql;
        QElapsedTimer timer;
        timer.start();
        QPointer<MuliThread> worker = new MuliThread(w, w, options, "", "", "");
        QEventLoop loop;
        QObject::connect(worker.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
        if (worker) loop.exec();
        return static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }

    TFMain w;
    bool ok = false;
};
