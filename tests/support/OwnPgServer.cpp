#include "OwnPgServer.h"

#include "TestDsn.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_servers = 0;

} // namespace

OwnPgServer::OwnPgServer()
{
    const QString n = QString::number(++g_servers);
    folder_ = QString::fromStdString(TestDsn::ScratchDir()) + "/own-pg" + n;
    dsn_ = "TarnvaleOwnPG" + n.toLatin1();
    QString out;
    if (!Script("start", &out)) return;
    port_ = out.trimmed();
    // The data source is added before this process's first connection to it.
    std::ofstream dsn(TestDsn::DsnFile(), std::ios::app);
    dsn << "\n[" << dsn_.constData() << "]\nDriver=PostgreSQL ANSI\nServername=127.0.0.1\nPort=" << port_.toStdString()
        << "\nDatabase=postgres\nUsername=postgres\nPassword=\nSSLmode=disable\n";
}

OwnPgServer::~OwnPgServer()
{
    ReleaseThePort();
    Script("stop");
}

bool OwnPgServer::StopAndHoldThePort()
{
    // Under the lock that the servers' start takes to choose and bind a port: none can take this
    // one between the stop and the bind.
    const QByteArray tmp = qEnvironmentVariableIsEmpty("TMPDIR") ? QByteArray("/tmp") : qgetenv("TMPDIR");
    const int lock = ::open((tmp + "/tarnvale-postgres.lock").constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    if (lock < 0 || ::flock(lock, LOCK_EX) != 0) {
        ADD_FAILURE() << "cannot take the servers' lock";
        if (lock >= 0) ::close(lock);
        return false;
    }
    bool held = Stop();
    if (held) {
        held_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const int on = 1;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port_.toUInt()));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        // Reused: the stopped server's closed connections may still name the port. Listening, so
        // that no other server can bind it.
        held = held_ >= 0 && ::setsockopt(held_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
               ::bind(held_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(held_, 16) == 0;
        EXPECT_TRUE(held) << "cannot hold port " << port_.toStdString() << ": " << std::strerror(errno);
    }
    ::flock(lock, LOCK_UN);
    ::close(lock);
    if (!held) {
        ReleaseThePort();
        return false;
    }
    // A connection is closed at once, so a client is told at once that nothing serves here.
    closer_ = std::thread([fd = held_] {
        for (int client; (client = ::accept(fd, nullptr, nullptr)) >= 0 || errno == EINTR;)
            if (client >= 0) ::close(client);
    });
    return true;
}

void OwnPgServer::ReleaseThePort()
{
    if (held_ < 0) return;
    ::shutdown(held_, SHUT_RDWR);
    if (closer_.joinable()) closer_.join();
    ::close(held_);
    held_ = -1;
}

bool OwnPgServer::Restart() { return Script("restart"); }

bool OwnPgServer::Stop() { return Script("stop"); }

bool OwnPgServer::Script(const char* command, QString* out)
{
    QProcess p;
    p.start(QStringLiteral("bash"),
            {QStringLiteral(TARNVALE_SOURCE_DIR "/scripts/postgres.sh"), QString::fromLatin1(command), folder_});
    const bool done = p.waitForFinished(180000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (out) *out = QString::fromLocal8Bit(p.readAllStandardOutput());
    EXPECT_TRUE(done) << "postgres.sh " << command << ": " << p.readAllStandardError().toStdString();
    return done;
}
