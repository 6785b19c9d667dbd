#include "ConnectionList.h"

#include <algorithm>

connection_rec* ConnectionList::Head() const { return records_.empty() ? nullptr : records_.front().get(); }

connection_rec* ConnectionList::Tail() const { return records_.empty() ? nullptr : records_.back().get(); }

connection_rec* ConnectionList::FindConnectionByKey(const QString& key) const
{
    for (connection_rec* rec = Head(); rec; rec = rec->Next)
        if (rec->Key == key) return rec;
    return nullptr;
}

bool ConnectionList::Contains(const connection_rec* rec) const
{
    return rec && std::any_of(records_.begin(), records_.end(), [rec](const auto& r) { return r.get() == rec; });
}

ConnectionList::AttachResult ConnectionList::Attach(const QString& key, TDbmsKind kind, const QString& user,
                                                    const QString& password, const QString& dsn)
{
    if (connection_rec* rec = FindConnectionByKey(key)) {
        ++rec->WindowCount;
        return {rec, rec->WindowCount == 1};
    }
    auto rec = std::make_unique<connection_rec>();
    rec->Key = key;
    rec->DbmsKind = kind;
    rec->User = user;
    rec->Password = password;
    rec->DSN = dsn;
    rec->WindowCount = 1;
    connection_rec* added = rec.get();
    if (connection_rec* tail = Tail()) tail->Next = added;
    records_.push_back(std::move(rec));
    return {added, true};
}

ConnectionList::ReleaseResult ConnectionList::Release(const QString& key)
{
    connection_rec* rec = FindConnectionByKey(key);
    if (!rec) return {};
    // A record that counts no window has nothing to release.
    if (rec->WindowCount <= 0) return {rec, false};
    if (--rec->WindowCount > 0) return {rec, false};
    rec->DropCatalog();
    return {rec, true};
}
