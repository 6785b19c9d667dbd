// A PostgreSQL server of the test's own, which it may restart and stop (never the run's shared
// one), with a data source of this process naming it.
#pragma once

#include <QString>

#include <atomic>
#include <thread>

class OwnPgServer {
public:
    // Starts the server and adds its data source to this process's DSN file.
    OwnPgServer();
    ~OwnPgServer();
    OwnPgServer(const OwnPgServer&) = delete;
    OwnPgServer& operator=(const OwnPgServer&) = delete;

    bool Ok() const { return !port_.isEmpty(); }
    // The data source of the server's "postgres" database, user "postgres" without a password.
    const char* Dsn() const { return dsn_.constData(); }
    // Stops the server at once and starts it again on the same port: its clients lose their connections.
    bool Restart();
    // Stops the server at once.
    bool Stop();
    // Stops the server at once and keeps its port until this object goes: nothing serves there
    // any more (a connection is closed as soon as it is made), and no other server can take it.
    bool StopAndHoldThePort();

private:
    bool Script(const char* command, QString* out = nullptr);

    void ReleaseThePort();

    QString folder_;
    QString port_;
    QByteArray dsn_;
    int held_ = -1; // the listening socket on the port of a stopped server
    std::thread closer_;
};
