// A connection of the object browser's own, made with a connection record's data source, user
// and password for one catalog or detail load and closed again; never a query window's.
#pragma once

#include <QString>

#include <sql.h>

struct connection_rec;

class PrivateCatalogConnection {
public:
    PrivateCatalogConnection() = default;
    ~PrivateCatalogConnection();
    PrivateCatalogConnection(const PrivateCatalogConnection&) = delete;
    PrivateCatalogConnection& operator=(const PrivateCatalogConnection&) = delete;

    // Binds the driver manager and connects. False when it cannot: error then holds the
    // environment's or the connection's diagnostic message (left as it was when the driver
    // manager cannot be bound or no environment can be had); emptied on success.
    bool Open(const connection_rec& rec, QString& error);
    // Disconnects and frees the handles; each step runs whatever the one before did.
    void Close();

    SQLHDBC Handle() const { return dbc_; }
    // Whether the driver offers the ODBC function (an SQL_API_ id); unknown counts as offered.
    bool Offers(SQLUSMALLINT function) const;

private:
    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool connected_ = false;
};
