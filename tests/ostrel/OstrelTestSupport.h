// Helpers shared by the search library's suites.
#pragma once

#include <QByteArray>
#include <QString>

// The folder of the built libOstrel.so.
inline QString BuiltOstrelFolder() { return QStringLiteral(TV_OSTREL_DIR); }

// Sets an environment variable for one scope and restores it afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        qputenv(name_, value);
    }
    ~ScopedEnvironment()
    {
        if (had_) qputenv(name_, old_);
        else qunsetenv(name_);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};
