#include "OwnPgServer.h"

#include "TestDsn.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <fstream>

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

OwnPgServer::~OwnPgServer() { Script("stop"); }

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
