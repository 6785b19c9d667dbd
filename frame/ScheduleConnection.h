// The check of a query window's connection before its scheduled run, and the new connection that
// replaces one that no longer answers. Only for a window without a run: no worker uses the handles.
#pragma once

#include "QueryWindowState.h"

namespace ScheduleConnection {

// A catalog call on a statement of its own: true when the connection answers it.
bool Answers(SQLHDBC dbc);

// Connects anew with the window's data source, user and password in the window's commit mode, then
// frees the replaced handles. A transaction that may have been open stays to be ended by the user,
// who is then told that it was lost. False, with the window's handles as they were, when no
// connection can be made.
bool Reconnect(QueryWindowState& window);

} // namespace ScheduleConnection
