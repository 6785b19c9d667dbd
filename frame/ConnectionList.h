// The connection records in the order of their creation: one per distinct connection key ever
// used, kept until the program ends. Only the user-interface thread uses it.
#pragma once

#include "connection_rec.h"

#include <QString>

#include <memory>
#include <vector>

class ConnectionList {
public:
    ConnectionList() = default;
    ConnectionList(const ConnectionList&) = delete;
    ConnectionList& operator=(const ConnectionList&) = delete;

    // The first and the last record; none while no connection was ever made.
    connection_rec* Head() const;
    connection_rec* Tail() const;
    int Count() const { return static_cast<int>(records_.size()); }

    // The first record whose key equals key exactly (case-sensitive); none when there is none.
    connection_rec* FindConnectionByKey(const QString& key) const;
    // Whether rec is one of the list's records (a reference kept elsewhere, such as on a tree node).
    bool Contains(const connection_rec* rec) const;

    struct AttachResult {
        connection_rec* Record = nullptr;
        // The record has just become active: its nodes go into the object browser.
        bool NodesNeeded = false;
    };
    // A query window with this connection has connected: a new record is appended, or the
    // existing one counts the window (its other fields stay as they are).
    AttachResult Attach(const QString& key, TDbmsKind kind, const QString& user, const QString& password,
                        const QString& dsn);

    struct ReleaseResult {
        // None when no record has the key.
        connection_rec* Record = nullptr;
        // The last window went: the catalog was dropped and the record's node must go.
        bool Dormant = false;
    };
    // A query window with this connection closes.
    ReleaseResult Release(const QString& key);

private:
    std::vector<std::unique_ptr<connection_rec>> records_;
};
